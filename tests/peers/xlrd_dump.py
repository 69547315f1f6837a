#!/usr/bin/python3
"""An independent .xls reader for the workbook tests: prints one sheet of a
workbook (the first unless SHEET, counted from 1, says otherwise), as xlrd
reads it, as one line of JSON (ASCII only):

  {"sheets": N, "rows": R, "columns": C,
   "cells": [[row, column, "text" | "number", value], ...]}

Rows and columns count from 1; empty cells are left out.
usage: xlrd_dump.py FILE [SHEET]
Exits 2 when xlrd is not installed, 1 when it cannot read the file.
"""
import json
import sys

try:
    import xlrd
except ImportError:
    sys.exit(2)


def main(path, sheet_number=1):
    try:
        book = xlrd.open_workbook(path)
    except Exception as error:  # any refusal is a failed read here
        print("xlrd refused the file: %s" % error, file=sys.stderr)
        return 1
    sheet = book.sheet_by_index(sheet_number - 1)
    cells = []
    for row in range(sheet.nrows):
        for column in range(sheet.ncols):
            cell = sheet.cell(row, column)
            if cell.ctype == xlrd.XL_CELL_TEXT:
                cells.append([row + 1, column + 1, "text", cell.value])
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                cells.append([row + 1, column + 1, "number", cell.value])
            elif cell.ctype != xlrd.XL_CELL_EMPTY:
                cells.append([row + 1, column + 1, "other", repr(cell.value)])
    print(json.dumps({"sheets": book.nsheets, "rows": sheet.nrows,
                      "columns": sheet.ncols, "cells": cells}))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 1))
