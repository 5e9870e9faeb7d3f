#!/usr/bin/env python3
"""Checks a built ComboFlash.exe as the Windows loader will see it.

  check_program.py PROGRAM --machine M --subsystem MAJOR.MINOR [--imports LIST]

The subsystem (and OS) version must be MAJOR.MINOR, the file must carry no
time stamp, and with --imports every function it imports must be listed in
LIST: a function that is not listed fails until someone checks that every
Windows the program is for exports it, and lists it."""
import argparse
import sys

import pe_file


def read_list(path):
    allowed = set()
    with open(path, encoding="utf-8") as file:
        for number, line in enumerate(file, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = line.split()
            if len(fields) != 2 or not fields[0].lower().endswith(".dll"):
                sys.exit(f"{path}:{number}: expected 'DLL FUNCTION', got {line!r}")
            allowed.add((fields[0].lower(), fields[1]))
    return allowed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--machine", required=True)
    parser.add_argument("--subsystem", required=True)
    parser.add_argument("--imports")
    args = parser.parse_args()

    program = pe_file.read(args.program)
    problems = []
    if program.machine != args.machine:
        problems.append(f"machine {program.machine}, expected {args.machine}")
    wanted = tuple(int(part) for part in args.subsystem.split("."))
    if program.subsystem_version != wanted:
        problems.append(f"subsystem version {program.subsystem_version}, expected {wanted}")
    if program.os_version != wanted:
        problems.append(f"OS version {program.os_version}, expected {wanted}")
    if program.time_stamp != 0:
        problems.append(f"time stamp {program.time_stamp:#x}; a shipped build carries none")

    imports = program.imports()
    if not imports:
        problems.append("no imports read")
    print(f"{len(imports)} imports from {len({dll for dll, _ in imports})} DLLs")
    if args.imports:
        allowed = read_list(args.imports)
        for dll, function in sorted(set(imports) - allowed):
            problems.append(f"imports {dll} {function}, which {args.imports} does not list")

    for problem in problems:
        print("FAIL:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
