#!/usr/bin/env bash
# ComboFlash against a CD-ROM drive that knows no vendor page write: the drive
# list shows its identity, a firmware file carrying that identity is taken,
# and each of the 32 pages is refused: one box per page, then the failure.
# ARGS: the drive's /dev/srN.
set -euo pipefail
here=$(dirname "$0")
source "$here/../../e2e/comboflash/common.sh"
source "$here/../guest-lib.sh"

device=${1:?device}
key="QEMU    QEMU CD-ROM     "
ln -sfn "$E2E_WORK/cd" "$WINEPREFIX/dosdevices/e:"
ln -sfn "$device" "$WINEPREFIX/dosdevices/e::"
make_firmware "$PROGRAM_DIR/firmware.bin" "$key" 4096

trace_start "$device"
start_comboflash
# 36 characters from byte 8 of its answer: identity, revision, and the
# first 8 bytes after the revision.
driver list-text "$DLG" 1006 0
expect_eq "${R:0:32}" "E:\\ ${key}2.5+" "the drive's row"
driver click-row "$DLG" 1006 0
driver press "$DLG" 1007
expect_box "$DLG" "Status" "Flash Now!Please don't Power off!" information
for page in $(seq 32); do
  expect_box "$DLG" "Satus Message" "Command Not Complete!" information
done
expect_box "$DLG" "Status" $'Flash Failed!\r\n32 of 32 pages were not written.' stop
driver press "$DLG" 1
expect_exit 0

mapfile -t dispatched < <(trace_cdbs fd)
expect_eq "${#dispatched[@]}" 32 "page writes dispatched to the drive"
for ((i = 0; i < 32; i++)); do
  cdb=(${dispatched[$i]})
  expect_eq "${cdb[10]} ${cdb[11]}" "$(printf '%02x 20' $((i + 1)))" "bytes 10-11 of page write $((i + 1))"
done
echo "every page was refused by the drive and reported as not written"
