#!/usr/bin/env python3
"""The program check itself: its import reader agrees with binutils' objdump,
a function missing from the list fails the check and is named, and so does
each manifest that Windows XP would refuse or that changes the program.

  check_program_test.py OBJDUMP PROGRAM LIST MACHINE SUBSYSTEM MANIFEST"""
import os
import subprocess
import sys
import tempfile

import pe_file

objdump, program, listed, machine, subsystem, manifest = sys.argv[1:]
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

with open(manifest, encoding="ascii") as file:
    shipped = file.read()
TRUST = '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v2">'
V6 = ('<dependency><dependentAssembly><assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" '
      'version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>'
      '</dependentAssembly></dependency></assembly>')
# (case, the manifest changed so, what the check must say)
broken = [
    ("the embedded manifest is the file", lambda text: text.replace("  ", "   "), "the application manifest is not"),
    ("trustInfo in asm.v3", lambda text: text.replace(TRUST, TRUST.replace("asm.v2", "asm.v3")), "trustInfo outside"),
    ("trustInfo in asm.v1", lambda text: text.replace(TRUST, "<trustInfo>"), "trustInfo outside"),
    ("a namespace twice on one element",
     lambda text: text.replace(TRUST, TRUST[:-1] + ' xmlns:v2="urn:schemas-microsoft-com:asm.v2">'), "declared twice"),
    ("run as the invoker", lambda text: text.replace("requireAdministrator", "asInvoker"), "execution levels"),
    ("common controls 6", lambda text: text.replace("</assembly>", V6), "depends on Microsoft.Windows.Common-Controls"),
    ("no Windows 10", lambda text: text.replace("8e0f7a12", "00000000"), "lacks Windows 10"),
]
for case, change, said in broken:
    changed = change(shipped)
    assert changed != shipped, case
    with tempfile.NamedTemporaryFile("w", suffix=".manifest", delete=False) as other:
        other.write(changed)
    try:
        result = subprocess.run(check + ["--manifest", other.name], capture_output=True, text=True)
    finally:
        os.unlink(other.name)
    if result.returncode == 0 or said not in result.stdout:
        print(f"FAIL: {case}: the check said (exit {result.returncode}):\n{result.stdout}")
        status = 1
    else:
        print(f"{case}: fails the check")
sys.exit(status)
