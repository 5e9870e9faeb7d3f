#!/usr/bin/env python3
"""Unpacks the download zip and checks it: its listing, its checksums, its
README, and that its two programs are byte for byte the ones the tests ran.

  check_package.py ZIP X86_PROGRAM X64_PROGRAM README"""
import hashlib
import sys
import zipfile

sys.path.insert(0, __import__("os").path.join(__import__("os").path.dirname(__file__), "..", "program"))
import pe_file  # noqa: E402

zip_path, x86_path, x64_path, readme_path = sys.argv[1:]
problems = []

with zipfile.ZipFile(zip_path) as archive:
    names = archive.namelist()
    expected = ["ComboFlash.exe", "x64/ComboFlash.exe", "README.txt", "SHA256SUMS"]
    if names != expected:
        problems.append(f"listing {names}, expected {expected}")
    bad = archive.testzip()
    if bad:
        problems.append(f"{bad} is damaged")
    members = {name: archive.read(name) for name in names}
    times = {info.date_time for info in archive.infolist()}
    if len(times) != 1:
        problems.append(f"entries carry different times: {sorted(times)}")

sums = {}
for line in members.get("SHA256SUMS", b"").decode("ascii").splitlines():
    digest, name = line.split("  ", 1)
    sums[name] = digest
if sorted(sums) != sorted(name for name in names if name != "SHA256SUMS"):
    problems.append(f"SHA256SUMS lists {sorted(sums)}")
for name, digest in sums.items():
    if name in members and hashlib.sha256(members[name]).hexdigest() != digest:
        problems.append(f"{name}: SHA256SUMS says {digest}, the file is {hashlib.sha256(members[name]).hexdigest()}")

for name, path, machine in (("ComboFlash.exe", x86_path, "i386"), ("x64/ComboFlash.exe", x64_path, "x86_64")):
    with open(path, "rb") as file:
        tested = file.read()
    if members.get(name) != tested:
        problems.append(f"{name} is not the program the tests ran ({path})")
    elif pe_file.PeFile(tested).machine != machine:
        problems.append(f"{name} is built for {pe_file.PeFile(tested).machine}, expected {machine}")

with open(readme_path, encoding="utf-8") as file:
    readme = file.read().replace("\n", "\r\n").encode("ascii")
if members.get("README.txt") != readme:
    problems.append("README.txt differs from the repository's, with CR LF line ends")

for problem in problems:
    print("FAIL:", problem)
if not problems:
    print(f"{zip_path}: {', '.join(names)}; checksums match; programs are the tested ones")
sys.exit(1 if problems else 0)
