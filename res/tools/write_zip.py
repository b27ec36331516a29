#!/usr/bin/env python3
"""Writes a zip of the given files, each under its own name, for the Windows
package: write_zip.py ZIP FILE...

Every entry carries SOURCE_DATE_EPOCH's time and nothing else of the file
but its bytes and permissions: no access or change time (which `cmake -E tar`
puts in an extra field), no local time zone. The same files give the same
bytes, whenever and wherever they are zipped."""
import os
import sys
import time
import zipfile


def main():
    archive_path, *files = sys.argv[1:]
    stamp = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))[:6]
    with zipfile.ZipFile(archive_path, "w") as archive:
        for name in files:
            entry = zipfile.ZipInfo(os.path.basename(name), stamp)
            entry.create_system = 3  # Unix, so that unzip keeps the modes below
            entry.external_attr = (0o100000 | os.stat(name).st_mode & 0o777) << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(name, "rb") as data:
                archive.writestr(entry, data.read(), compresslevel=9)


if __name__ == "__main__":
    main()
