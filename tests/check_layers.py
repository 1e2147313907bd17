#!/usr/bin/env python3
"""Folders are layers: a source file may include its own folder and the folders below it,
never one above, nor another folder of its own layer (window folders never include each
other; the frame routes between them) unless the two form one group. Prints each include
that breaks this and exits 1; a folder missing from the table below is an error too, so
every new folder takes its place."""
import pathlib
import re
import sys

LAYERS = {
    "core": 0,
    "platform": 1,
    "services": 2, "skins": 2,
    "tab": 3, "downloads": 3, "gestures": 3, "bosskey": 3, "settings": 3, "about": 3, "history": 3,
    "import": 3,
    "shell": 4,
    "app": 5,
}
# Folders of one layer that may include each other.
GROUPS = [{"services", "skins"}]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main(src: pathlib.Path) -> int:
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in LAYERS:
            faults.append(f"{path.relative_to(src)}: folder '{folder}' has no layer")
            continue
        for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
            parts = included.split("/")
            if len(parts) < 2:
                continue  # beside it, in its own folder
            target = parts[0]
            if target not in LAYERS:
                faults.append(f"{path.relative_to(src)}: includes '{included}' of no layer")
            elif LAYERS[target] > LAYERS[folder]:
                faults.append(f"{path.relative_to(src)}: '{folder}' includes '{included}' above it")
            elif (LAYERS[target] == LAYERS[folder] and target != folder
                  and not any({target, folder} <= g for g in GROUPS)):
                faults.append(f"{path.relative_to(src)}: '{folder}' includes '{included}' beside it")
    for f in faults:
        print(f)
    print(f"{len(faults)} include(s) against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
