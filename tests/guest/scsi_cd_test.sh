#!/usr/bin/env bash
# ComboFlash.exe under Wine in the guest, in pass-through mode, against a
# drive nobody here wrote: QEMU's own SCSI CD-ROM drive on a virtio SCSI
# controller. It is listed with its own identity, and its refusal of the
# vendor page write reaches the user as a refusal of every page.
source "$(dirname "$0")/guest-lib.sh"

sr=
for device in /sys/bus/scsi/devices/*:*:*:*; do
  [ "$(cat "$device/vendor" 2>/dev/null)" = "QEMU    " ] && sr=/dev/$(ls "$device/block" 2>/dev/null | head -n 1)
done
[ -n "$sr" ] && [ -b "$sr" ] || { echo "QEMU's CD-ROM drive did not appear"; exit 1; }
echo "QEMU's CD-ROM drive is $sr"

passthrough_template || { echo "cannot make the Wine prefix"; exit 1; }
e2e_env scsi-cd
run_case "QEMU's CD-ROM drive: listed, every page refused" bash "$GUEST_TESTS/comboflash/foreign_drive.sh" "$sr"
finish
