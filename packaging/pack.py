#!/usr/bin/env python3
"""Dates the staged files at the commit's time, so that the installer packs the same file
times on every machine, and writes the portable zip from them byte for byte the same:
names sorted, times in UTC, fixed attributes, no owner.
    pack.py EPOCH ZIP FILE..."""
import os
import sys
import time
import zipfile

epoch, out, files = int(sys.argv[1]), sys.argv[2], sorted(sys.argv[3:])
# The zip format cannot hold a time before 1980.
when = time.gmtime(max(epoch, 315532800))[:6]
with zipfile.ZipFile(out, "w") as z:
    for path in files:
        os.utime(path, (epoch, epoch))
        entry = zipfile.ZipInfo(os.path.basename(path), when)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.create_system = 3
        entry.external_attr = 0o100644 << 16
        with open(path, "rb") as f:
            z.writestr(entry, f.read(), compresslevel=9)
