#!/usr/bin/env python3
# help/stamp_version.py - writes the build's version into the help pages.
"""Replaces @KEYWHIRL_VERSION@ in every HTML page below FOLDER.

    stamp_version.py FOLDER VERSION

Runs on the build's copy of the help sources, so the pages name the version
of the program they ship with.
"""
import os
import sys


def main(folder, version):
    for base, _, names in os.walk(folder):
        for name in names:
            if not name.endswith('.html'):
                continue
            path = os.path.join(base, name)
            with open(path, 'rb') as f:
                text = f.read()
            stamped = text.replace(b'@KEYWHIRL_VERSION@', version.encode('ascii'))
            if stamped != text:
                with open(path, 'wb') as f:
                    f.write(stamped)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
