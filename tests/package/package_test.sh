#!/usr/bin/env bash
# The download as tools/package writes it, made twice from the programs the
# tests ran: both zips are the same bytes, and the check finds in them the
# listing, checksums, README and programs it expects.
#   package_test.sh WORK X86_PROGRAM X64_PROGRAM
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$1 x86=$2 x64=$3
[ -f "$x64" ] || { echo "FAIL: no 64-bit program at $x64: build the windows preset first"; exit 1; }
rm -rf "$work" && mkdir -p "$work"
for run in first second; do
  python3 "$source_dir/tools/make-package.py" --x86 "$x86" --x64 "$x64" \
    --readme "$source_dir/packaging/README.txt" --time 1700000000 --out "$work/$run.zip"
  # Apart in time, as two runs of tools/package would be: the second starts
  # once the clock has passed a zip time step (two seconds) since the first.
  if [ "$run" = first ]; then
    step=$(($(date +%s) / 2))
    for _ in $(seq 50); do [ $(($(date +%s) / 2)) -eq "$step" ] || break; sleep 0.1; done
    [ $(($(date +%s) / 2)) -ne "$step" ] || { echo "FAIL: the clock did not reach the next zip time step in 5 s"; exit 1; }
  fi
done
cmp "$work/first.zip" "$work/second.zip" || { echo "FAIL: two runs wrote different zips"; exit 1; }
python3 "$source_dir/tests/package/check_package.py" "$work/first.zip" "$x86" "$x64" "$source_dir/packaging/README.txt"
