#!/usr/bin/python3
"""A Modbus RTU or ASCII slave on a serial device, built on pymodbus.

The command-line tool's end-to-end tests talk to it over a pseudo-terminal
pair, so the program's frames meet a Modbus implementation that shares none
of its code. Only the holding registers given with --register exist; any
other address is refused with exception 02. Requests to other stations get
no answer. Every register write is printed as "SET <address> <value>".
"""

import argparse
import asyncio
import logging
import sys

from pymodbus.datastore import (ModbusServerContext, ModbusSlaveContext,
                                ModbusSparseDataBlock)
from pymodbus.server.async_io import ModbusSerialServer
from pymodbus.transaction import ModbusAsciiFramer, ModbusRtuFramer


class ReportingBlock(ModbusSparseDataBlock):
    """Holding registers that tell the test about every write."""

    def setValues(self, address, values, use_as_default=False):
        super().setValues(address, values, use_as_default)
        if not isinstance(values, (list, tuple)):
            values = [values]
        for offset, value in enumerate(values):
            print(f"SET {address + offset} {value}", flush=True)


def register_pair(text):
    address, _, value = text.partition("=")
    return int(address, 0), int(value, 0)


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", required=True, help="serial device")
    parser.add_argument("--framer", choices=("rtu", "ascii"), required=True)
    parser.add_argument("--station", type=int, default=1)
    parser.add_argument("--baud", type=int, default=9600)
    parser.add_argument("--register", type=register_pair, action="append", default=[],
                        metavar="ADDRESS=VALUE")
    return parser.parse_args()


async def serve(args):
    block = ReportingBlock({address: value for address, value in args.register})
    # Sparse store for the holding registers only; zero_mode keeps addresses
    # as they travel in the frame.
    slave = ModbusSlaveContext(hr=block, zero_mode=True)
    context = ModbusServerContext(slaves={args.station: slave}, single=False)
    server = ModbusSerialServer(
        context,
        framer=ModbusAsciiFramer if args.framer == "ascii" else ModbusRtuFramer,
        port=args.port,
        baudrate=args.baud,
        bytesize=7 if args.framer == "ascii" else 8,
        parity="N",
        stopbits=1,
        ignore_missing_slaves=True,
    )
    await server.start()
    if server.transport is None and server.bytesize != 8:
        # Pseudo-terminals carry whole bytes and some refuse a 7-bit setting.
        server.bytesize = 8
        await server.start()
    if server.transport is None:
        print(f"cannot open {args.port}", file=sys.stderr, flush=True)
        return 1
    print("READY", flush=True)
    await asyncio.Event().wait()
    return 0


def main():
    args = parse_args()
    # Refused requests and requests to other stations are part of the tests.
    logging.getLogger("pymodbus").setLevel(logging.CRITICAL)
    try:
        return asyncio.run(serve(args))
    except KeyboardInterrupt:
        return 0


if __name__ == "__main__":
    sys.exit(main())
