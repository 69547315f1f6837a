#!/usr/bin/python3
"""An independent check of the compound document around a workbook: olefile
opens FILE refusing every structural defect (FAT, DIFAT, directory, chains)
and prints the streams with their sizes, one "name size" per line.

usage: olefile_check.py FILE
Exits 2 when olefile is not installed, 1 when the document is defective.
"""
import sys

try:
    import olefile
except ImportError:
    sys.exit(2)


def main(path):
    try:
        ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
        for entry in ole.listdir(streams=True, storages=False):
            name = "/".join(entry)
            data = ole.openstream(entry).read()
            print("%s %d" % (name, len(data)))
    except Exception as error:
        print("olefile refused the document: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
