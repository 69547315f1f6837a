#!/usr/bin/env python3
"""Writes InvType/FNC.txt: every drive function the program runs, for the
native protocol (0), Modbus RTU (1) and Modbus ASCII (2), addressing the
drive's function registers. Deterministic; run from the repository root:
    python3 data/tools/make_fnc.py > data/InvType/FNC.txt
"""

MODE, STATUS, ALARM1, ALARM2 = 0x1000, 0x1001, 0x1002, 0x1003
FREQUENCY, CONTROL, PARAMETER_FUNCTION = 0x1004, 0x1005, 0x1010
SELECTOR, SELECTED, MONITOR = 0x1020, 0x1021, 0x1100

# Native instruction codes of the function registers (reads below 0x80,
# writes from 0xF0 up; the others address the selected register group).
# A register that is read and written has write code = read code + 80 hex.
NATIVE_READ = {MODE: 0x7B, STATUS: 0x7A, ALARM1: 0x79, ALARM2: 0x78,
               FREQUENCY: 0x77, CONTROL: 0x75, PARAMETER_FUNCTION: 0x7C,
               SELECTOR: 0x71, SELECTED: 0x72}
NATIVE_READ.update({MONITOR + n: 0x64 + n for n in range(13)})
NATIVE_WRITE = {register: NATIVE_READ[register] + 0x80
                for register in (MODE, FREQUENCY, CONTROL, PARAMETER_FUNCTION, SELECTOR)}

SELECTABLE = "456789ABCDEFGHIJKL"  # the quantity IDs follow the letter
EXTRA = {"P": 0x19, "Q": 0x1A}


def quantity_id(letter):
    if letter in EXTRA:
        return EXTRA[letter]
    return int(letter, 16) if letter in "456789ABCDEF" else 0x10 + "GHIJKL".index(letter)


def functions():
    """(name, register, value or None for a read) in file order."""
    table = [("MOD", MODE, None), ("STA", STATUS, None), ("M0N", ALARM1, None),
             ("M1N", ALARM2, None), ("FRE", FREQUENCY, 0), ("FWD", CONTROL, 2),
             ("REV", CONTROL, 4), ("STO", CONTROL, 0), ("CU0", MODE, 0),
             ("EXT", MODE, 1), ("JOG", MODE, 2)]
    for name, code in (("996", 0x96), ("997", 0x97), ("998", 0x98), ("999", 0x99),
                       ("991", 0x91), ("992", 0x92)):
        table.append((name, PARAMETER_FUNCTION, code))
    for k in range(4):
        table.append(("M%dR" % k, MONITOR + k, None))
    table.append(("MCR", MONITOR + 12, None))
    for letter in SELECTABLE + "PQ":
        table.append(("M%sW" % letter, SELECTOR, quantity_id(letter)))
        if letter != "C":  # MCR reads the status word directly
            table.append(("M%sR" % letter, SELECTED, None))
    return table


def rtu(name, register, value):
    function = 3 if value is None else 6
    data = 1 if value is None else value
    fields = ["1", name[0], name[1], name[2], "%02X" % function,
              "%02X" % (register >> 8), "%02X" % (register & 0xFF),
              "%02X" % (data >> 8), "%02X" % (data & 0xFF)]
    return "-".join(fields)


def ascii_line(name, register, value):
    function = 3 if value is None else 6
    data = 1 if value is None else value
    return "2-%s-%02X-%04X-%04X" % (name, function, register, data)


def native(name, register, value):
    if value is None:
        return "0-%s-%02X-0" % (name, NATIVE_READ[register])
    return "0-%s-%02X-0-%04X" % (name, NATIVE_WRITE[register], value)


def main():
    table = functions()
    lines = [native(*f) for f in table] + [rtu(*f) for f in table] + \
            [ascii_line(*f) for f in table]
    print("\n".join(lines))


if __name__ == "__main__":
    main()
