#!/usr/bin/env python3
"""Fails when a hosted layer includes a layer below it in src/hosted/README.md,
or when program code includes anything of src/hosted but its SDK headers."""
import pathlib
import re
import sys

ALLOWED = {
    "core": {"core"},
    "kernel": {"core", "kernel"},
    "advapi": {"core", "kernel", "advapi"},
    "user": {"core", "kernel", "user"},
    "dinput": {"core", "kernel", "dinput"},
    "winmm": {"core", "kernel", "winmm"},
    "sim": {"core", "kernel", "advapi", "user", "dinput", "winmm", "sim"},
    "term": {"core", "kernel", "advapi", "user", "dinput", "winmm", "sim", "term"},
}
PROGRAM = ["shell", "input", "bridge", "patcher", "framework"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/', re.M)


def problems(src):
    found = []
    for layer, allowed in ALLOWED.items():
        for path in sorted((src / "hosted" / layer).glob("**/*")):
            if path.suffix in (".cpp", ".h"):
                for folder in INCLUDE.findall(path.read_text()):
                    if folder in ALLOWED and folder not in allowed:
                        found.append(f"{path.relative_to(src)}: includes {folder}/")
    for part in PROGRAM:
        for path in sorted((src / part).glob("**/*")):
            if path.suffix in (".cpp", ".h"):
                for folder in INCLUDE.findall(path.read_text()):
                    if folder in ALLOWED:
                        found.append(f"{path.relative_to(src)}: program code includes {folder}/")
    return found


if __name__ == "__main__":
    found = problems(pathlib.Path(sys.argv[1]))
    for line in found:
        print(line)
    print(f"{len(found)} layering problems")
    sys.exit(1 if found else 0)
