#!/usr/bin/env python3
"""The folders keep to their layers.

Reads every #include "..." of the program's sources and fails on one that
runs against the layering:
- a core folder (base, link, parameters, monitor, simulator, cli) includes
  only the core folders below it, never gui/, and holds no widget: no form,
  no ui_*.h, no QtWidgets or Qwt header;
- gui/widgets includes no window folder;
- a window folder (gui/navigation, gui/parameters, gui/monitor, gui/trend)
  includes no other window folder and not the main window; only the main
  window composes them;
- nothing includes gui/app, the start-up code;
- no include climbs out of its folder with "../".
The build enforces most of this through each library's include root; this
check also sees what a relative path or a stray include directory would let
through.
"""
import re
import sys
from pathlib import Path

ROOT = Path(sys.argv[1])
# What each core folder may include besides itself (the link order of the build).
CORE = {
    "base": set(),
    "link": {"base"},
    "parameters": {"base", "link"},
    "monitor": {"base", "link", "parameters"},
    "simulator": {"base", "link"},
    "cli": {"base", "link", "parameters", "monitor", "simulator"},
}
WINDOWS = {"gui/navigation", "gui/parameters", "gui/monitor", "gui/trend"}
INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]', re.M)
WIDGET_HEADER = re.compile(r"^(Q(Abstract|Widget|Dialog|MainWindow|MessageBox|Label|PushButton|"
                           r"TableView|TreeView|Layout|VBoxLayout|HBoxLayout|Application|Style)|"
                           r"QtWidgets/|qwt|Qwt)")


def folder_of(path):
    parts = path.relative_to(ROOT).parts
    return "/".join(parts[:2]) if parts[0] == "gui" else parts[0]


def target_folder(target):
    parts = target.split("/")
    if len(parts) < 2:
        return None
    return "/".join(parts[:2]) if parts[0] == "gui" else parts[0]


def problems_of(path):
    found = []
    here = folder_of(path)
    where = path.relative_to(ROOT)
    if here in CORE and path.suffix == ".ui":
        return [f"{where}: a form in the core"]
    text = path.read_text(encoding="utf-8", errors="replace")
    for kind, target in INCLUDE.findall(text):
        if kind == "<":
            if here in CORE and WIDGET_HEADER.match(target):
                found.append(f"{where}: widget header <{target}> in the core")
            continue
        if ".." in target.split("/"):
            found.append(f"{where}: \"{target}\" climbs out of its folder")
            continue
        if here in CORE and target.startswith("ui_"):
            found.append(f"{where}: form header \"{target}\" in the core")
        other = target_folder(target)
        if other is None or other == here:
            continue
        if other == "gui/app":
            found.append(f"{where}: includes the start-up code \"{target}\"")
        elif here in CORE and other not in CORE[here]:
            found.append(f"{where}: core folder {here} includes \"{target}\"")
        elif here == "gui/widgets" and other.startswith("gui/"):
            found.append(f"{where}: gui/widgets includes the window \"{target}\"")
        elif here in WINDOWS and other.startswith("gui/") and other != "gui/widgets":
            found.append(f"{where}: window {here} includes \"{target}\"")
    return found


def main():
    files = []
    for folder in list(CORE) + ["gui"]:
        for pattern in ("*.h", "*.cpp", "*.ui"):
            files += sorted((ROOT / folder).rglob(pattern))
    if not files:
        print("no sources found under", ROOT)
        return 1
    found = [problem for path in files for problem in problems_of(path)]
    for line in found:
        print(line)
    print(f"{len(files)} files, {len(found)} problem(s)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
