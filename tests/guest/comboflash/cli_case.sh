#!/usr/bin/env bash
# One case of comboflash, the Linux command-line flasher, against the emulated
# drive behind the guest's kernel, checked by what comboflash says and exits
# with and by what the drive received.
# ARGS: the case, the drive's /dev/srN, a folder for the case's files.
set -euo pipefail
here=$(dirname "$0")
source "$here/../guest-lib.sh"

case_name=${1:?case} device=${2:?device} work=${3:?folder}
cli=${GUEST_COMBOFLASH_CLI:?path of comboflash}
key="EMULATEDCOMBO DRIVE RW  "
refused_page=7
mkdir -p "$work"
chmod 755 "$work"
report=$work/drive/report

fail() { echo "FAIL: $*"; exit 1; }
expect_eq() { [ "$1" = "$2" ] || fail "$3: \"$1\", expected \"$2\""; }
expect_in() { [[ $1 == *"$2"* ]] || fail "$3 does not say \"$2\": $1"; }

firmware=$work/firmware.bin
"$SOURCE_ROOT/tools/make-sample-firmware" "$firmware" "$key" 300000
chmod 644 "$firmware"

drive_options=(--vendor EMULATED --product "COMBO DRIVE RW" --revision 1.00)
[ "$case_name" = flash-refused-page ] && drive_options+=(--refuse-page "$refused_page" --refusal-sense 03/0c/00)
# Slow enough that the reader of the next case is long gone before the last page.
[ "$case_name" = flash-reader-gone ] && drive_options+=(--page-timing late --late-by 200)
# Slow enough that a second flash starts and ends while the first writes.
[[ $case_name == flash-twice-* ]] && drive_options+=(--page-timing late --late-by 500)
silent_page=9 removed_page=30
[ "$case_name" = silent-inquiry ] && drive_options+=(--inquiry-timing never)
[ "$case_name" = flash-silent-page ] && drive_options+=(--silent-page "$silent_page")
[ "$case_name" = flash-drive-removed ] && drive_options+=(--detach-page "$removed_page" --detach-command "$TCMU_DRIVE detach")
"$TCMU_DRIVE" start "$work/drive" "${drive_options[@]}" >/dev/null || fail "the emulated drive did not start"
trap '"$TCMU_DRIVE" stop "$work/drive" >/dev/null 2>&1 || true' EXIT

# run [AS_USER] ARGS...: comboflash's exit code in CODE, its output in OUT and ERR.
run() {
  local as=()
  if [ "$1" = --as-tester ]; then as=(setpriv --reuid tester --regid tester --clear-groups --reset-env); shift; fi
  CODE=0
  "${as[@]}" "$cli" "$@" >"$work/out" 2>"$work/err" </dev/null || CODE=$?
  OUT=$(cat "$work/out") ERR=$(cat "$work/err")
  printf '$ comboflash %s\n%s\n%s\n(exit code %s)\n' "$*" "$OUT" "$ERR" "$CODE"
}

# finish_drive: ends the drive's server, which writes its report and image.
finish_drive() {
  trap - EXIT
  "$TCMU_DRIVE" stop "$work/drive" >/dev/null || fail "the emulated drive did not stop"
}
page_writes() { grep -c '^command: fd ' "$report" || true; }
inquiries() { grep -c '^command: 12 ' "$report" || true; }
# The drive's SCSI generic node, found as comboflash finds it.
generic_node() { echo "/dev/$(ls "/sys/class/block/${device##*/}/device/scsi_generic")"; }

# flash_twice FIRST SECOND: a flash of one image by the node FIRST, and while
# it writes its pages a flash of another image by SECOND, which must be
# refused as in use before it sends anything.
flash_twice() {
  local first=$1 second=$2 other=$work/other.bin code=0
  "$SOURCE_ROOT/tools/make-sample-firmware" "$other" "$key" 200000
  "$cli" flash "$firmware" --drive "$first" --yes >"$work/first.out" 2>"$work/first.err" </dev/null &
  local flashing=$!
  for _ in $(seq 100); do grep -q "Flash Now!" "$work/first.out" && break; sleep 0.3; done
  grep -q "Flash Now!" "$work/first.out" || { cat "$work/first.out" "$work/first.err"; fail "the first flash had not begun within 30 s"; }
  run flash "$other" --drive "$second" --yes
  wait "$flashing" || code=$?
  printf '$ comboflash flash (first, by %s)\n%s\n%s\n(exit code %s)\n' "$first" "$(cat "$work/first.out")" \
    "$(cat "$work/first.err")" "$code"
  expect_eq "$CODE" 3 "the second flash's exit code"
  expect_in "$ERR" "$second is in use" "the second flash's refusal"
  expect_eq "$OUT" "" "the second flash's output"
  expect_eq "$code" 0 "the first flash's exit code"
  expect_eq "$(grep -c '  written$' "$work/first.out")" 32 "pages the first flash reported written"
  finish_drive
  expect_eq "$(inquiries)" 1 "identity inquiries the drive received"
  expect_eq "$(page_writes)" 32 "page writes the drive received"
  expect_eq "$(verdict)" "image complete and consistent" "the drive's verdict"
  cmp "$work/drive/image" "$firmware" || fail "the drive's image is not the first flash's file"
}
unanswered_page_writes() { grep -c '^unanswered: fd ' "$report" || true; }
# page_line N: comboflash's line for page N.
page_line() { grep "^Page-$(printf '%2d' "$1") Checksum: " "$work/out" || true; }
# A failed flash ends with the count, and nothing says it completed.
expect_flash_failed() {
  expect_eq "$CODE" 1 "exit code"
  expect_in "$OUT" $'Flash Failed!\n'"$1 of 32 pages were not written." "the verdict"
  [[ $OUT$ERR != *omplete* ]] || fail "a failed flash is said to be complete"
  expect_eq "$(grep -c '^Page-' "$work/out")" 32 "page lines"
}
verdict() { sed -n 's/^drive .* verdict=//p' "$report"; }

case $case_name in
  list)
    run list --json
    expect_eq "$CODE" 0 "exit code"
    expect_in "$OUT" "{\"device\":\"$device\",\"bus\":\"scsi\",\"vendor\":\"EMULATED\",\"product\":\"COMBO DRIVE RW  \",\"revision\":\"1.00\",\"error\":null}" "the list"
    run list
    expect_eq "$CODE" 0 "exit code"
    expect_in "$OUT" "$device  scsi  EMULATED COMBO DRIVE RW   1.00" "the list"
    ;;
  check)
    run check "$firmware" --drive "$device"
    expect_eq "$CODE" 0 "exit code"
    expect_in "$OUT" "Identity: \"$key\" found in the image" "check"
    expect_in "$OUT" "The file would be flashed to this drive." "check"
    finish_drive
    grep -q '^command: 12 ' "$report" || fail "the drive was never asked its identity"
    expect_eq "$(page_writes)" 0 "page writes the drive received"
    ;;
  check-mismatch)
    "$SOURCE_ROOT/tools/make-sample-firmware" "$firmware" "OTHER   COMBO DRIVE RW  " 300000
    run check "$firmware" --drive "$device"
    expect_eq "$CODE" 5 "exit code"
    expect_in "$ERR" "does not carry the drive's identity \"$key\"" "the refusal"
    ;;
  flash-complete)
    run flash "$firmware" --drive "$device" --yes
    expect_eq "$CODE" 0 "exit code"
    expect_eq "$(grep -c '  written$' "$work/out")" 32 "pages reported written"
    finish_drive
    expect_eq "$(verdict)" "image complete and consistent" "the drive's verdict"
    cmp "$work/drive/image" "$firmware" || fail "the drive's image differs from the firmware file"
    ;;
  flash-refused-page)
    run flash "$firmware" --drive "$device" --yes
    expect_eq "$CODE" 1 "exit code"
    expect_in "$OUT$ERR" "1 of 32 pages were not written" "the verdict"
    expect_in "$OUT" "status 0x02, sense key 0x3, ASC 0x0c, ASCQ 0x00" "page $refused_page's outcome"
    finish_drive
    expect_eq "$(page_writes)" 32 "page writes the drive received"
    expect_eq "$(verdict)" "image incomplete: 31 of 32 pages accepted" "the drive's verdict"
    ;;
  flash-reader-gone)
    # Whoever reads the output leaves after its first line: the pages still
    # all go out, and the exit code still tells how the flash ended.
    set +e
    "$cli" flash "$firmware" --drive "$device" --yes 2>"$work/err" </dev/null | head -n 1 >"$work/out"
    codes=("${PIPESTATUS[@]}")
    set -e
    echo "comboflash exited with ${codes[0]}, its reader with ${codes[1]}; the reader saw: $(cat "$work/out")"
    expect_eq "${codes[0]}" 0 "exit code"
    expect_in "$(cat "$work/out")" "Drive:    $device" "the line read"
    finish_drive
    expect_eq "$(page_writes)" 32 "page writes the drive received"
    expect_eq "$(verdict)" "image complete and consistent" "the drive's verdict"
    cmp "$work/drive/image" "$firmware" || fail "the drive's image differs from the firmware file"
    ;;
  dry-run)
    run flash "$firmware" --drive "$device" --dry-run
    expect_eq "$CODE" 0 "exit code"
    expect_eq "$(grep -c '^Page-[ 0-9]*: FD 07 ' "$work/out")" 32 "commands printed"
    finish_drive
    expect_eq "$(page_writes)" 0 "page writes the drive received"
    ;;
  no-read-access)
    chmod 600 "$device"
    run --as-tester check "$firmware" --drive "$device"
    expect_eq "$CODE" 3 "exit code"
    expect_in "$ERR" "no read access to $device" "the refusal"
    expect_in "$ERR" "usually cdrom" "the refusal"
    ;;
  no-raw-io)
    # Read-write access to the drive's nodes, but no CAP_SYS_RAWIO.
    sg=$(generic_node)
    sg_mode=$(stat -c %a "$sg")
    chmod 666 "$device" "$sg"
    run --as-tester flash "$firmware" --drive "$device" --yes
    chmod 600 "$device"
    chmod "$sg_mode" "$sg"
    expect_eq "$CODE" 8 "exit code"
    expect_in "$ERR" "CAP_SYS_RAWIO" "the refusal"
    expect_in "$ERR" "Run comboflash as root" "the refusal"
    finish_drive
    expect_eq "$(page_writes)" 0 "page writes the drive received"
    ;;
  held-open)
    # Another program holds the drive exclusively, as a mount does.
    python3 -c 'import os, sys, time
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_NONBLOCK | os.O_EXCL)
print("held", flush=True)
time.sleep(600)' "$device" >"$work/holder" &
    holder=$!
    for _ in $(seq 50); do grep -q held "$work/holder" && break; sleep 0.1; done
    grep -q held "$work/holder" || fail "the other program had not taken hold of the drive within 5 s"
    run flash "$firmware" --drive "$device" --yes
    kill "$holder"
    expect_eq "$CODE" 3 "exit code"
    expect_in "$ERR" "$device is in use" "the refusal"
    finish_drive
    expect_eq "$(page_writes)" 0 "page writes the drive received"
    ;;
  no-write-access)
    # Read access, as the cdrom group gives: check goes on, flash is told
    # that it needs root, which the group would not give it.
    chmod 644 "$device"
    run --as-tester check "$firmware" --drive "$device"
    expect_eq "$CODE" 0 "check's exit code"
    run --as-tester flash "$firmware" --drive "$device" --yes
    chmod 600 "$device"
    expect_eq "$CODE" 3 "exit code"
    expect_in "$ERR" "no read-write access to $device: writing firmware needs root" "the refusal"
    expect_in "$ERR" "sudo comboflash flash" "the refusal"
    [[ $ERR != *cdrom* ]] || fail "the refusal still sends the user to the cdrom group: $ERR"
    finish_drive
    expect_eq "$(page_writes)" 0 "page writes the drive received"
    ;;
  flash-twice-sr-sg) flash_twice "$device" "$(generic_node)" ;;
  flash-twice-sg-sr) flash_twice "$(generic_node)" "$device" ;;
  system-disk)
    # The mounted root disk is no optical drive, and is not called in use.
    root=/dev/$(sed -n 's/^DEVNAME=//p' "/sys/dev/block/$(mountpoint -d /)/uevent")
    [ -b "$root" ] || fail "the root file system's device $root is no block node"
    run flash "$firmware" --drive "$root" --yes
    expect_eq "$CODE" 3 "exit code"
    expect_in "$ERR" "$root is not an optical drive" "the refusal"
    [[ $ERR != *"in use"* && $ERR != *umount* ]] || fail "the refusal calls the system disk in use: $ERR"
    ;;
  silent-inquiry)
    # The drive never answers its identity inquiry: the kernel times it out
    # and aborts it, and list and check say so instead of waiting on.
    started=$SECONDS
    run list
    echo "list took $((SECONDS - started)) s"
    expect_eq "$CODE" 0 "exit code"
    expect_in "$OUT" "$device  scsi  cannot be asked: $device did not answer the identity inquiry: " "the list"
    expect_in "$OUT" "(time-out)" "the list"
    started=$SECONDS
    run check "$firmware" --drive "$device"
    echo "check took $((SECONDS - started)) s"
    expect_eq "$CODE" 3 "exit code"
    expect_in "$ERR" "$device did not answer the identity inquiry: " "the refusal"
    expect_in "$ERR" "(time-out)" "the refusal"
    finish_drive
    expect_eq "$(grep -c '^unanswered: 12 ' "$report")" 2 "identity inquiries left unanswered"
    expect_eq "$(page_writes)" 0 "page writes the drive received"
    ;;
  flash-silent-page)
    # The drive hangs on one page: the target gives up on it (LOGICAL UNIT
    # COMMUNICATION FAILURE), and the flash goes on to the next.
    run flash "$firmware" --drive "$device" --yes
    expect_flash_failed 1
    expect_in "$(page_line "$silent_page")" "status 0x02, sense key 0x2, ASC 0x08, ASCQ 0x00" "page $silent_page's outcome"
    expect_in "$(page_line $((silent_page + 1)))" "  written" "the next page's outcome"
    finish_drive
    expect_eq "$(page_writes)" 31 "page writes the drive answered"
    expect_eq "$(unanswered_page_writes)" 1 "page writes the drive left unanswered"
    expect_in "$(verdict)" "image incomplete: 31 of 32 pages accepted; " "the drive's verdict"
    ;;
  flash-drive-removed)
    # Pulled out while page 30 is under way: that page and the two after it
    # fail, each with what the kernel said, and the flash ends failed.
    run flash "$firmware" --drive "$device" --yes
    expect_flash_failed 3
    expect_in "$(page_line $((removed_page - 1)))" "  written" "the page before"
    # What the kernel says of a drive that is gone depends on whether a node
    # of it is still held open (a flash holds both): no such device, or a
    # host status (no connect, or host error while the device is torn down).
    # Either way the line names it, never a bare error number.
    named_host_status='host status 0x[0-9a-f]{2}, driver status 0x[0-9a-f]{2}: .*\([a-z -]+\)$'
    for page in $((removed_page + 1)) 32; do
      line=$(page_line "$page")
      [[ $line == *"the drive is gone"* || $line =~ $named_host_status ]] || fail "page $page's outcome: $line"
    done
    [ ! -e "$device" ] || fail "$device is still there"
    finish_drive
    expect_eq "$(page_writes)" 29 "page writes the drive answered"
    expect_eq "$(unanswered_page_writes)" 1 "page writes the drive left unanswered"
    expect_in "$(verdict)" "image incomplete: 29 of 32 pages accepted" "the drive's verdict"
    ;;
  *) fail "unknown case $case_name" ;;
esac
echo "case $case_name: passed"
