#!/usr/bin/env python3
"""Checks a built ComboFlash.exe as the Windows loader will see it.

  check_program.py PROGRAM --machine M --subsystem MAJOR.MINOR [--imports LIST]
                   [--manifest FILE]

The subsystem (and OS) version must be MAJOR.MINOR, the file must carry no
time stamp, and with --imports every function it imports must be listed in
LIST: a function that is not listed fails until someone checks that every
Windows the program is for exports it, and lists it. With --manifest the
program's application manifest must be FILE, byte for byte, and FILE must
ask for administrator rights in the form Windows XP's loader accepts."""
import argparse
import re
import sys
import xml.etree.ElementTree as ElementTree

import pe_file

RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1
ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
# XP refuses trustInfo in asm.v1 (and knows nothing of asm.v3); Vista and
# later read the execution level from asm.v2 as well.
ASM_V2 = "urn:schemas-microsoft-com:asm.v2"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
WINDOWS_10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
COMMON_CONTROLS = "Microsoft.Windows.Common-Controls"


def manifest_problems(program, path):
    with open(path, "rb") as file:
        wanted = file.read()
    problems = []
    found = [data for (kind, name, _), data in program.resources().items()
             if kind == RT_MANIFEST and name == CREATEPROCESS_MANIFEST_RESOURCE_ID]
    if len(found) != 1:
        problems.append(f"{len(found)} application manifests (RT_MANIFEST {CREATEPROCESS_MANIFEST_RESOURCE_ID}), expected 1")
    elif found[0] != wanted:
        problems.append(f"the application manifest is not {path}")

    if not wanted.isascii():
        problems.append(f"{path} is not plain ASCII without a byte-order mark")
    # XP SP2's parser mishandles a namespace declared twice on one element.
    for tag in re.findall(rb"<[A-Za-z][^>]*>", wanted):
        declared = re.findall(rb"xmlns(?::[\w.-]+)?\s*=\s*[\"']([^\"']*)[\"']", tag)
        if len(declared) != len(set(declared)):
            problems.append(f"{path}: a namespace declared twice in {tag.decode()}")
    try:
        root = ElementTree.fromstring(wanted)
    except ElementTree.ParseError as error:
        return problems + [f"{path} is not well-formed XML: {error}"]
    if root.tag != f"{{{ASM_V1}}}assembly":
        problems.append(f"{path}: root element {root.tag}")
    levels = [element.get("level") for element in root.iter(f"{{{ASM_V2}}}requestedExecutionLevel")]
    if levels != ["requireAdministrator"]:
        problems.append(f"{path}: execution levels {levels} in {ASM_V2}, expected ['requireAdministrator']")
    others = [element.tag for element in root.iter() if element.tag.endswith("}trustInfo")
              and element.tag != f"{{{ASM_V2}}}trustInfo"]
    if others:
        problems.append(f"{path}: trustInfo outside {ASM_V2}: {others}")
    systems = [element.get("Id") for element in root.iter(f"{{{COMPATIBILITY}}}supportedOS")]
    if WINDOWS_10 not in systems:
        problems.append(f"{path}: supportedOS {systems} lacks Windows 10 {WINDOWS_10}")
    # Another common-controls library would change how every control looks.
    libraries = [element.get("name") for element in root.iter() if element.tag.endswith("}assemblyIdentity")]
    if COMMON_CONTROLS in libraries:
        problems.append(f"{path}: depends on {COMMON_CONTROLS}")
    return problems


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
    parser.add_argument("--manifest")
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
    if args.manifest:
        problems += manifest_problems(program, args.manifest)

    for problem in problems:
        print("FAIL:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
