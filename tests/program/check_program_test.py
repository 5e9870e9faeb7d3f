#!/usr/bin/env python3
"""The program check itself: its import reader agrees with binutils' objdump,
and a function missing from the list fails the check and is named.

  check_program_test.py OBJDUMP PROGRAM LIST MACHINE SUBSYSTEM"""
import os
import subprocess
import sys
import tempfile

import pe_file

objdump, program, listed, machine, subsystem = sys.argv[1:]
status = 0

dump = subprocess.run([objdump, "-p", program], check=True, capture_output=True, text=True).stdout
from_objdump, dll = [], None
for line in dump.splitlines():
    if "DLL Name:" in line:
        dll = line.split()[-1].lower()
    elif dll and line.startswith("\t") and len(line.split()) == 3 and line.split()[1].isdigit():
        from_objdump.append((dll, line.split()[2]))
ours = pe_file.read(program).imports()
if sorted(ours) != sorted(from_objdump) or not ours:
    print(f"FAIL: reader found {len(ours)} imports, objdump {len(from_objdump)}:",
          sorted(set(ours) ^ set(from_objdump))[:10])
    status = 1

check = [sys.executable, os.path.join(os.path.dirname(__file__), "check_program.py"), program,
         "--machine", machine, "--subsystem", subsystem]
dropped = sorted(ours)[len(ours) // 2]
with open(listed, encoding="utf-8") as file:
    kept = [line for line in file if line.split("#", 1)[0].split() != [dropped[0], dropped[1]]]
with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as shorter:
    shorter.writelines(kept)
try:
    result = subprocess.run(check + ["--imports", shorter.name], capture_output=True, text=True)
finally:
    os.unlink(shorter.name)
if result.returncode == 0 or f"{dropped[0]} {dropped[1]}," not in result.stdout:
    print(f"FAIL: with {dropped} left out of the list the check said (exit {result.returncode}):\n{result.stdout}")
    status = 1
else:
    print(f"an unlisted {dropped[0]} {dropped[1]} fails the check")
sys.exit(status)
