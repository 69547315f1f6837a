#!/usr/bin/env python3
"""Every text of the sources has a finished translation in both Chinese files.

Updates copies of language/*.ts from the sources (as
scripts/update-translations.sh does), so that a text added to the code
without a translation fails here, then checks each message: translated, not
marked unfinished, the same %1..%9 place markers, a mnemonic where the source
has one.
"""
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(sys.argv[1])
CHINESE = ["KorvaneINV_zh_CN.ts", "KorvaneINV_zh_Big.ts"]
MARKER = re.compile(r"%[1-9]")
MNEMONIC = re.compile(r"&[^&\s]")


def problems(path):
    found = []
    root = ET.parse(path).getroot()
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            node = message.find("translation")
            text = node.text if node is not None and node.text else ""
            where = f"{path.name}: {name}: {source!r}"
            if node is None or node.get("type") in ("unfinished", "vanished", "obsolete"):
                found.append(f"{where}: not translated")
            elif not text.strip() and source.strip():
                found.append(f"{where}: empty translation")
            elif sorted(MARKER.findall(source)) != sorted(MARKER.findall(text)):
                found.append(f"{where}: place markers differ in {text!r}")
            elif MNEMONIC.search(source) and not MNEMONIC.search(text):
                found.append(f"{where}: mnemonic lost in {text!r}")
    return found


def main():
    with tempfile.TemporaryDirectory() as tmp:
        for name in CHINESE + ["KorvaneINV_Eng.ts"]:
            shutil.copy(ROOT / "language" / name, tmp)
        subprocess.run([str(ROOT / "scripts" / "update-translations.sh"), tmp], check=True)
        found = []
        for name in CHINESE:
            found += problems(Path(tmp) / name)
        count = sum(1 for _ in ET.parse(Path(tmp) / CHINESE[0]).getroot().iter("message"))
    for line in found:
        print(line)
    print(f"{count} texts, {len(found)} problem(s)")
    return 1 if found or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
