#!/usr/bin/env bash
# comboflash, the Linux command-line flasher, against the emulated combo
# drive behind the guest's kernel (/dev/srN, SG_IO, the SCSI target and
# TCMU): list, check, whole and failed flashes, a flash whose reader leaves,
# the dry run, the refusals a user without rights, or with the drive held
# by another program or by a second flash under either of its nodes, or
# naming the system disk, is given, and a drive that goes silent or is
# pulled out (last: the drive comes back under other names, if at all).
source "$(dirname "$0")/guest-lib.sh"

drive=$GUEST_WORK/drive
nodes=$("$TCMU_DRIVE" start "$drive/attach" --vendor EMULATED --product "COMBO DRIVE RW" --revision 1.00) ||
  { echo "cannot attach the emulated drive"; exit 1; }
read -r sr sg <<<"$nodes"
echo "the emulated drive is $sr ($sg)"
"$TCMU_DRIVE" stop "$drive/attach" >/dev/null

for case in list check check-mismatch flash-complete flash-refused-page flash-reader-gone dry-run no-read-access \
  no-write-access no-raw-io held-open flash-twice-sr-sg flash-twice-sg-sr system-disk silent-inquiry \
  flash-silent-page flash-drive-removed; do
  run_case "comboflash: $case" bash "$GUEST_TESTS/comboflash/cli_case.sh" "$case" "$sr" "$drive/$case"
  drive_leftovers
done
finish
