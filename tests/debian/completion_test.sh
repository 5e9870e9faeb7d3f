#!/usr/bin/env bash
# comboflash's bash completion, as bash calls it: for each command line of
# the table (the word under the cursor last), the candidates it offers, in
# a folder with two firmware files, another file and a folder, and a device
# folder with two optical drives and a disk.
#   completion_test.sh COMPLETION WORK
set -uo pipefail
completion=$1 work=$2
rm -rf "$work" && mkdir -p "$work/root/dev" "$work/files/sub"
touch "$work/root/dev/sr0" "$work/root/dev/sr1" "$work/root/dev/sda"
touch "$work/files/fw.bin" "$work/files/UPPER.BIN" "$work/files/notes.txt"
cd "$work/files" || exit 1
# shellcheck source=/dev/null
source "$completion"
_comboflash_root=$work/root

# line (words separated by blanks; '' is an empty word) | expected candidates
cases=(
  "comboflash ''                               | --help --version check flash help list"
  "comboflash fl                               | flash"
  "comboflash list -                           | --help --json"
  "comboflash check -                          | --drive --help --identity --json"
  "comboflash flash --                         | --drive --dry-run --force --help --json --yes"
  "comboflash flash fw.bin --drive ''          | /dev/sr0 /dev/sr1 sr0 sr1"
  "comboflash check fw.bin --drive /dev/       | /dev/sr0 /dev/sr1"
  "comboflash flash fw.bin --drive = s         | sr0 sr1"
  "comboflash flash ''                         | UPPER.BIN fw.bin sub"
  "comboflash check --drive sr0 ''             | UPPER.BIN fw.bin sub"
  "comboflash flash fw.bin ''                  | --drive --dry-run --force --json --yes"
  "comboflash check fw.bin --drive sr0 ''      | --drive --identity --json"
  "comboflash check fw.bin --identity ''       | "
  "comboflash help ''                          | check flash help list"
  "comboflash help flash ''                    | "
  "comboflash unknown ''                       | "
)

failures=0
for row in "${cases[@]}"; do
  line=${row%%|*} expected=${row#*|}
  eval "COMP_WORDS=($line)"
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _comboflash
  got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | xargs)
  read -ra wanted <<<"$expected"
  expected=$(printf "%s\n" "${wanted[@]}" | LC_ALL=C sort | xargs)
  if [ "$got" != "$expected" ]; then
    echo "FAIL: '${line% *}': offered [$got], expected [$expected]"
    failures=$((failures + 1))
  fi
done
[ $failures -eq 0 ] || exit 1
echo "${#cases[@]} command lines complete as expected"
