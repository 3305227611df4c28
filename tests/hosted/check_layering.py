#!/usr/bin/env python3
"""Fails when an include crosses a boundary the tree does not allow.

Hosted layers include only the layers above them in src/hosted/README.md.
Program components name every header they include by its component
("shell/wheel_dlg.h") and include only the components their row allows, the
table in the top README; none of them sees anything of src/hosted.
src/testbed, which the simulated machine and the Wine doubles share, sees
neither: the doubles are built without the simulated machine.

--self-test plants upward includes in a copy of the tree and shows each one
found."""
import pathlib
import re
import shutil
import sys
import tempfile

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
COMPONENTS = {
    "base": {"base"},
    "framework": {"framework"},
    "resources": {"resources", "framework"},
    "bridge": {"bridge", "base"},
    "input": {"input", "base", "framework"},
    "patcher": {"patcher"},
    "shell": {"shell", "base", "bridge", "input", "framework", "resources"},
    "testbed": {"testbed"},
}
HOSTED_INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/', re.M)
QUOTED_INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def sources(folder, suffixes):
    return [p for p in sorted(folder.glob("**/*")) if p.suffix in suffixes]


def problems(src):
    found = []
    for layer, allowed in ALLOWED.items():
        for path in sources(src / "hosted" / layer, (".cpp", ".h")):
            for folder in HOSTED_INCLUDE.findall(path.read_text()):
                if folder in ALLOWED and folder not in allowed:
                    found.append(f"{path.relative_to(src)}: includes {folder}/")
    for part, allowed in COMPONENTS.items():
        for path in sources(src / part, (".cpp", ".h", ".rc")):
            for name in QUOTED_INCLUDE.findall(path.read_text()):
                folder = name.split("/")[0] if "/" in name else None
                if folder is None:
                    found.append(f"{path.relative_to(src)}: includes {name} without its component")
                elif folder in ALLOWED or folder == "hosted":
                    kind = "shared" if part == "testbed" else "program"
                    found.append(f"{path.relative_to(src)}: {kind} code includes {name}")
                elif folder not in allowed:
                    found.append(f"{path.relative_to(src)}: {part} may not include {folder}/")
    return found


# Each an include that must be found, and where it is planted.
PLANTED = [
    ("bridge/axis_curve.cpp", '#include "shell/wheel_app.h"'),
    ("base/log.cpp", '#include "input/di_error.h"'),
    ("input/key_names.cpp", '#include "core/machine.h"'),
    ("framework/wnd.cpp", '#include "log.h"'),
    ("testbed/step_words.cpp", '#include "core/machine.h"'),
]


def self_test(src):
    with tempfile.TemporaryDirectory() as temp:
        copy = pathlib.Path(temp) / "src"
        shutil.copytree(src, copy, ignore=shutil.ignore_patterns("*.ico"))
        clean = problems(copy)
        for where, line in PLANTED:
            path = copy / where
            path.write_text(path.read_text() + line + "\n")
        found = problems(copy)
    for line in found:
        print(line)
    print(f"{len(found)} layering problems with {len(PLANTED)} planted")
    missed = [where for where, _ in PLANTED if not any(f.startswith(where + ":") for f in found)]
    for where in missed:
        print(f"planted include not found: {where}")
    return not clean and not missed and len(found) == len(PLANTED)


if __name__ == "__main__":
    if sys.argv[1] == "--self-test":
        sys.exit(0 if self_test(pathlib.Path(sys.argv[2])) else 1)
    found = problems(pathlib.Path(sys.argv[1]))
    for line in found:
        print(line)
    print(f"{len(found)} layering problems")
    sys.exit(1 if found else 0)
