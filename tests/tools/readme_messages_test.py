#!/usr/bin/env python3
"""The download's README.txt names every message box the program can show,
as the program's texts define them: each message text (a format's
placeholder written as N), so that a user who meets a box finds what to do.

  readme_messages_test.py README FRONT_END_TEXTS..."""
import re
import sys

readme_path, *headers = sys.argv[1:]
# ASPI statuses the program never shows: the layer's own "in progress" and
# "done" answers, and a host adapter that is not there (the scan asks every
# one it was told of).
NEVER_SHOWN = {"kAspiPendingText", "kAspiCompletedText", "kAspiInvalidHostAdapterText"}
# Texts that are no message: labels, file dialog settings, the status line,
# log lines, and the completion text's second line (the README quotes its lines).
NOT_A_BOX = re.compile(r"^k(DriveListColumn|FileFilter|DefaultExtension|InitialFileName|Processing|"
                       r"FirmwareChecksum|PageChecksum|IdleStatus|.*Caption)")

with open(readme_path, encoding="ascii") as file:
    readme = " ".join(file.read().split())

texts = {}
for header in headers:
    with open(header, encoding="utf-8") as file:
        for name, text in re.findall(r'constexpr char (k\w+)\[\] = "((?:[^"\\]|\\.)*)"', file.read()):
            if name not in NEVER_SHOWN and not NOT_A_BOX.match(name):
                texts[name] = text
if len(texts) < 20:
    sys.exit(f"FAIL: only {len(texts)} message texts read from {headers}")

missing = []
for name, text in sorted(texts.items()):
    for line in text.split("\\r\\n"):
        shown = re.sub(r"%\d*[dx]", "N", line).replace("\\'", "'")
        if f'"{shown}"' not in readme:
            missing.append(f'{name}: "{shown}"')
for entry in missing:
    print(f"FAIL: {readme_path} does not name {entry}")
if not missing:
    print(f"{readme_path} names all {len(texts)} message texts")
sys.exit(1 if missing else 0)
