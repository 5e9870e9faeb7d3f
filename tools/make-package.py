#!/usr/bin/env python3
"""Writes the download zip from built programs, the same bytes every time:
entries in a fixed order, each with the same time (the commit's), the same
attributes and the same compression.

  make-package.py --x86 EXE --x64 EXE --readme TXT --time EPOCH --out ZIP"""
import argparse
import hashlib
import time
import zipfile


def entries(args):
    with open(args.x86, "rb") as file:
        x86 = file.read()
    with open(args.x64, "rb") as file:
        x64 = file.read()
    with open(args.readme, encoding="utf-8") as file:
        # Notepad on older Windows shows only CR LF as a line break.
        readme = file.read().replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")
    files = [("ComboFlash.exe", x86), ("x64/ComboFlash.exe", x64), ("README.txt", readme)]
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    return files + [("SHA256SUMS", sums.encode("ascii"))]


def main():
    parser = argparse.ArgumentParser()
    for option in ("--x86", "--x64", "--readme", "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--time", type=int, required=True, help="seconds since 1970, UTC")
    args = parser.parse_args()

    # Zip times have a resolution of two seconds and start in 1980.
    stamp = time.gmtime(max(args.time, 315532800))[:6]
    with zipfile.ZipFile(args.out, "w") as archive:
        for name, data in entries(args):
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS attributes: a plain file
            info.external_attr = 0x20  # archive bit
            archive.writestr(info, data, compresslevel=9)


if __name__ == "__main__":
    main()
