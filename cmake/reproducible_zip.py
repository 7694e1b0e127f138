#!/usr/bin/python3
"""Zips the files of a folder so that the zip depends on nothing but their
names, contents and executable bits: reproducible_zip.py OUTPUT.zip FOLDER SECONDS

The members come in the order of their names, each dated SECONDS (seconds
since 1970, SOURCE_DATE_EPOCH; 1980 at the earliest, which is as early as a
zip can date), with the permissions a umask of 022 gives (rwxr-xr-x for an
executable file, rw-r--r-- for any other), no owner, no extra fields and
maximum compression. A zip of the same files is the same bytes whoever makes
it, wherever and whenever."""

import os
import sys
import time
import zipfile

EARLIEST = (1980, 1, 1, 0, 0, 0)
UNIX = 3  # the "made by" system, which says the permissions are Unix ones


def main() -> int:
    if len(sys.argv) != 4 or not sys.argv[3].isdigit():
        print(__doc__, file=sys.stderr)
        return 2
    output, folder, seconds = sys.argv[1], sys.argv[2], int(sys.argv[3])
    date = max(time.gmtime(seconds)[:6], EARLIEST)

    names = []
    for root, folders, files in os.walk(folder):
        folders.sort()
        for name in files:
            names.append(os.path.relpath(os.path.join(root, name), folder).replace(os.sep, "/"))
    names.sort()
    if not names:
        print(f"reproducible_zip: no files in {folder}", file=sys.stderr)
        return 1

    with zipfile.ZipFile(output, "w") as archive:
        for name in names:
            path = os.path.join(folder, name)
            executable = os.stat(path).st_mode & 0o100
            member = zipfile.ZipInfo(name, date)
            member.create_system = UNIX
            member.external_attr = (0o100755 if executable else 0o100644) << 16
            member.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(member, source.read(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main())
