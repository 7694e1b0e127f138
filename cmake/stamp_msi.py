#!/usr/bin/python3
"""Gives a Windows Installer package the package code and the time it is
meant to have: stamp_msi.py PACKAGE.msi {PACKAGE-CODE} SECONDS

wixl makes up a random package code and writes the time of the build as the
summary's creation and save times; this writes the given code, and the given
time (seconds since 1970, SOURCE_DATE_EPOCH) as both times, so that a
rebuild of the same files gives the same bytes. Uses msitools' own library,
libmsi, through GObject introspection."""

import re
import sys

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

# FILETIME counts 100-nanosecond steps from 1601; Unix time seconds from 1970.
FILETIME_AT_1970 = 11644473600 * 10_000_000


def main() -> int:
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    path, code, seconds = sys.argv[1], sys.argv[2], sys.argv[3]
    if not re.fullmatch(r"\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}", code):
        print(f"stamp_msi: '{code}' is no package code ({{GUID}} in capitals)", file=sys.stderr)
        return 2
    if not seconds.isdigit():
        print(f"stamp_msi: '{seconds}' is no time in seconds", file=sys.stderr)
        return 2
    filetime = FILETIME_AT_1970 + int(seconds) * 10_000_000

    database = Libmsi.Database.new(path, Libmsi.DbFlags.TRANSACT, None)
    summary = Libmsi.SummaryInfo.new(database, 2**31 - 1)
    summary.set_string(Libmsi.Property.UUID, code)
    summary.set_filetime(Libmsi.Property.CREATED_TM, filetime)
    summary.set_filetime(Libmsi.Property.LASTSAVED_TM, filetime)
    summary.persist()
    database.commit()
    return 0


if __name__ == "__main__":
    sys.exit(main())
