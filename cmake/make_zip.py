#!/usr/bin/env python3
"""Writes a zip archive that depends on nothing but the files' bytes.

Usage: make_zip.py ARCHIVE FILE...

Each file goes in under its base name, in sorted order, with one fixed
date and the plain MS-DOS archive attribute, so that two builds of the same
sources give the same archive byte for byte.
"""

import os
import sys
import zipfile

# Zip entries carry MS-DOS local time; any fixed value will do.
FIXED_DATE = (2000, 1, 1, 0, 0, 0)
DOS_ARCHIVE_ATTRIBUTE = 0x20


def main(argv):
    archive, files = argv[1], sorted(argv[2:], key=os.path.basename)
    with zipfile.ZipFile(archive, "w") as out:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), FIXED_DATE)
            entry.create_system = 0
            entry.external_attr = DOS_ARCHIVE_ATTRIBUTE
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                out.writestr(entry, source.read(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
