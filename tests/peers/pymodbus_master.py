#!/usr/bin/python3
"""An independent Modbus master for the integration tests: reads and writes
holding registers of a slave on a serial device with pymodbus.

usage: pymodbus_master.py DEVICE rtu|ascii STATION read ADDRESS COUNT
       pymodbus_master.py DEVICE rtu|ascii STATION write ADDRESS VALUE
Prints the values read (space separated) or "ok"; exits 1 on a Modbus error.
"""
import sys

from pymodbus.client import ModbusSerialClient
from pymodbus.transaction import ModbusAsciiFramer, ModbusRtuFramer


def main(argv):
    device, mode, station, action, address, number = argv[1:7]
    ascii_mode = mode == "ascii"
    client = ModbusSerialClient(
        port=device,
        framer=ModbusAsciiFramer if ascii_mode else ModbusRtuFramer,
        baudrate=19200,
        # A pseudo-terminal carries bytes, not bits: parity and character
        # size do not exist on it (and some kernels refuse to set them).
        bytesize=8,
        parity="N",
        stopbits=1,
        timeout=1,
        retries=1,
    )
    if not client.connect():
        print("cannot open", device)
        return 1
    try:
        if action == "read":
            answer = client.read_holding_registers(int(address), int(number), slave=int(station))
        else:
            answer = client.write_register(int(address), int(number), slave=int(station))
    finally:
        client.close()
    if answer.isError():
        print("error", answer)
        return 1
    print(" ".join(str(v) for v in answer.registers) if action == "read" else "ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
