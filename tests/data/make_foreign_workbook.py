#!/usr/bin/python3
"""Makes foreign_xlwt.xls, a workbook written by a program that shares no
code with ours (xlwt, Debian package python3-xlwt), for the workbook reader
test. The test rebuilds the same contents to compare; keep them in step.

usage: make_foreign_workbook.py OUTPUT.xls
"""
import sys

import xlwt


def main(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Parameters")
    sheet.write(0, 0, "InvParameter-ZM-043-7.5K")
    for column, header in enumerate(["Trad. P mode", "Default value", "Current value"]):
        sheet.write(1, column, header)
    for i in range(40):
        row = i + 2
        sheet.write(row, 0, "P.%d" % i)
        sheet.write(row, 1, "频率设定" if i == 20 else "%.2f" % (i * 1.25))
        if i == 25:
            continue  # an empty cell
        sheet.write(row, 2, i * 0.5 if i % 3 else i * 1000 - 7000)
    other = book.add_sheet("Other")
    other.write(0, 0, "not on the first sheet")
    other.write(99, 9, 42)
    book.save(path)


if __name__ == "__main__":
    main(sys.argv[1])
