"""Sets right what cpack takes from the builder rather than the sources, so
that a package is the same bytes whoever builds it, wherever: run by cpack
on the packages it made. In a .deb, every member gets mode 0644, as
dpkg-deb writes them, whatever the builder's umask. A .zip is written again
in name order, dated SOURCE_DATE_EPOCH in UTC (cpack dates it in the
builder's time zone), with the usual modes and no owner."""
import os
import sys
import time
import zipfile

AR_HEADER = 60  # name, time, owner, group, mode at 40, size at 48 to 58


def debian_package(path):
    with open(path, "r+b") as package:
        offset = len(b"!<arch>\n")
        while offset < os.path.getsize(path):
            package.seek(offset)
            size = int(package.read(AR_HEADER)[48:58])
            package.seek(offset + 40)
            package.write(b"100644  ")
            offset += AR_HEADER + size + size % 2


def zip_archive(path):
    with zipfile.ZipFile(path) as package:
        entries = [(entry.filename, entry.external_attr >> 16, package.read(entry))
                   for entry in package.infolist()]
    date = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))[:6]
    with zipfile.ZipFile(path, "w", compresslevel=9) as package:
        for name, mode, data in sorted(entries):
            entry = zipfile.ZipInfo(name, date)
            entry.create_system = 3  # Unix, whose modes these are
            entry.external_attr = (0o100755 if mode & 0o111 else 0o100644) << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            package.writestr(entry, data)


for made in sys.argv[1:]:
    {".deb": debian_package, ".zip": zip_archive}[os.path.splitext(made)[1]](made)
