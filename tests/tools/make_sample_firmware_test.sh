#!/usr/bin/env bash
# tools/make-sample-firmware: a command line it cannot use gets its usage and
# exit code 2 (a key that would end past the image, exit 1), never a Python
# traceback; a good one writes 524,288 bytes with the key at the offset, the
# same bytes on every run.
#   make_sample_firmware_test.sh TOOL WORK
set -uo pipefail
tool=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
key="COMBOEMUVIRTUAL COMBO RW"

# arguments (eval'd) | exit code | what standard error starts with
refused=(
  "                                   | 2 | usage: "
  "$work/a.bin                        | 2 | usage: "
  "$work/a.bin '$key'                 | 2 | usage: "
  "$work/a.bin '$key' 0x10 extra      | 2 | usage: "
  "$work/a.bin '$key' ten             | 2 | make-sample-firmware: OFFSET 'ten' is not a number"
  "$work/a.bin '$key' 524265          | 1 | make-sample-firmware: KEY at 524265 would end past"
)
for row in "${refused[@]}"; do
  IFS='|' read -r arguments code start <<<"$row"
  code=${code// /} start=${start# }
  eval "set -- $arguments"
  "$tool" "$@" >"$work/out" 2>"$work/err"
  status=$?
  [ $status -eq "$code" ] || fail "[$arguments]: exit $status, expected $code"
  [[ $(cat "$work/err") == "$start"* ]] || fail "[$arguments]: standard error starts $(head -c 60 "$work/err"), expected '$start'"
  ! grep -q Traceback "$work/err" || fail "[$arguments]: a traceback"
  [ ! -e "$work/a.bin" ] || fail "[$arguments]: wrote a file"
  rm -f "$work/a.bin"
done

for offset in 0 0x1000 524264; do
  if ! "$tool" "$work/one.bin" "$key" "$offset" || ! "$tool" "$work/two.bin" "$key" "$offset"; then
    fail "offset $offset: the tool failed"
  fi
  cmp -s "$work/one.bin" "$work/two.bin" || fail "offset $offset: two runs wrote different bytes"
  python3 - "$work/one.bin" "$key" "$offset" <<'PY' || fail "offset $offset: the image is wrong"
import sys
data, key, offset = open(sys.argv[1], "rb").read(), sys.argv[2].encode(), int(sys.argv[3], 0)
assert len(data) == 524288, len(data)
assert data[offset:offset + len(key)] == key, data[offset:offset + len(key)]
# Random bytes elsewhere: no long run of zeros the firmware rules would take for padding.
assert data.count(b"\0" * 16) == 0
PY
done
[ $failures -eq 0 ] || exit 1
echo "${#refused[@]} command lines refused with their usage; 3 images as expected"
