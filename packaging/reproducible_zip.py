#!/usr/bin/env python3
"""Zips a folder the same way every time: members in sorted order under the
folder's name, each dated SOURCE_DATE_EPOCH (UTC) with fixed permissions, so
that the same files always give the same bytes.

    reproducible_zip.py OUT.zip FOLDER
"""
import os
import sys
import time
import zipfile


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: reproducible_zip.py OUT.zip FOLDER")
    out, folder = sys.argv[1], os.path.normpath(sys.argv[2])
    # The zip format cannot date anything before 1980.
    epoch = max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800)
    date = time.gmtime(epoch)[:6]
    top = os.path.basename(folder)
    entries = []
    for root, dirs, files in os.walk(folder):
        rel = os.path.relpath(root, folder)
        base = top if rel == "." else f"{top}/{rel.replace(os.sep, '/')}"
        entries.append((base + "/", None))
        entries.extend((f"{base}/{name}", os.path.join(root, name)) for name in files)
    with zipfile.ZipFile(out, "w") as archive:
        for name, path in sorted(entries):
            info = zipfile.ZipInfo(name, date)
            info.create_system = 3  # Unix, so that the permissions below count
            if path is None:
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b"")
            else:
                info.external_attr = 0o100644 << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as f:
                    archive.writestr(info, f.read(), compresslevel=9)


if __name__ == "__main__":
    main()
