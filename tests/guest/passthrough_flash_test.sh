#!/usr/bin/env bash
# ComboFlash.exe under Wine in the guest, in pass-through mode, flashing the
# emulated combo drive through the guest kernel's SCSI stack (/dev/srN, SG_IO,
# the SCSI target and TCMU): a whole flash, one with a refused page, one with
# a page the drive never answers, and one the drive is pulled out of (last:
# the drive comes back under other names, if at all).
source "$(dirname "$0")/guest-lib.sh"

drive=$GUEST_WORK/drive
identity=(--vendor EMULATED --product "COMBO DRIVE RW" --revision 1.00)
nodes=$("$TCMU_DRIVE" start "$drive/attach" "${identity[@]}") || { echo "cannot attach the emulated drive"; exit 1; }
read -r sr sg <<<"$nodes"
echo "the emulated drive is $sr ($sg)"
"$TCMU_DRIVE" stop "$drive/attach" >/dev/null
# The kernel asks once, when the device attaches (the part's own drive, attached above).
grep -q '^command: 12 ' "$("$TCMU_DRIVE" attached)/report" || { echo "the kernel never asked the drive's identity"; exit 1; }

passthrough_template || { echo "cannot make the Wine prefix"; exit 1; }
for case in complete refused-page silent-page drive-removed; do
  e2e_env "passthrough-$case"
  run_case "passthrough flash: $case" \
    bash "$GUEST_TESTS/comboflash/passthrough_flash.sh" "$case" "$sr" "$drive/$case" "${identity[@]}"
  drive_leftovers
done
finish
