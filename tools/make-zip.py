#!/usr/bin/env python3
"""Packs a directory into a zip that is the same bytes at every run for the same files.

Every entry has the same date (SOURCE_DATE_EPOCH, else 1980-01-01), the same permissions and
no extra fields; entries come in sorted order, folders first, with "/" as the separator, so
that the folder inside the zip is the directory's own name.

Run: python3 tools/make-zip.py ZIP DIRECTORY
"""
import os
import sys
import time
import zipfile

FILE_MODE = 0o100644
FOLDER_MODE = 0o040755
MS_DOS_DIRECTORY = 0x10
EARLIEST = 315532800  # 1980-01-01, the first date a zip can hold


def entry(name, mode, date):
    info = zipfile.ZipInfo(name, date_time=date)
    info.create_system = 3  # Unix, so that the mode bits below are read
    info.external_attr = mode << 16
    if name.endswith('/'):
        info.external_attr |= MS_DOS_DIRECTORY
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main(zip_path, directory):
    epoch = max(int(os.environ.get('SOURCE_DATE_EPOCH', EARLIEST)), EARLIEST)
    date = time.gmtime(epoch)[:6]
    directory = os.path.normpath(directory)
    base = os.path.dirname(directory)
    names = []
    for parent, folders, files in os.walk(directory):
        folders.sort()
        names.append(os.path.relpath(parent, base).replace(os.sep, '/') + '/')
        names += [os.path.relpath(os.path.join(parent, f), base).replace(os.sep, '/')
                  for f in sorted(files)]
    with zipfile.ZipFile(zip_path, 'w') as archive:
        for name in names:
            if name.endswith('/'):
                archive.writestr(entry(name, FOLDER_MODE, date), b'')
            else:
                with open(os.path.join(base, name), 'rb') as source:
                    archive.writestr(entry(name, FILE_MODE, date), source.read(),
                                     compresslevel=9)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
