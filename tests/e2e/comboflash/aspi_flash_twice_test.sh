#!/usr/bin/env bash
# Two flashes of the emulated ASPI drive in one session: the drive takes the
# second as a fresh start and judges each flash on its own, and the layer's
# report says what each one got. A second flash the drive refuses in part is
# the presenter's native test.
source "$(dirname "$0")/common.sh"

COMPLETE="image complete and consistent"
ASPI_DONE=$'Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!'

# expect_sequences: the report has one sequence line per flash so far, each
# with all 32 pages and the drive's verdict that the image is whole.
expect_sequences() {
  local lines=() number
  mapfile -t lines < <(grep '^sequence ha=0 target=0 ' "$ASPI_REPORT" || true)
  expect_eq "${#lines[@]}" "$1" "flashes the drive saw"
  for ((number = 1; number <= $1; number++)); do
    expect_eq "${lines[$((number - 1))]}" "sequence ha=0 target=0 number=$number pages=32 verdict=$COMPLETE" \
      "report line of flash $number"
  done
}

aspi_mode
aspi_config
make_firmware "$PROGRAM_DIR/firmware.bin" "$DRIVE_KEY" 200000
expected=$(expected_log "$PROGRAM_DIR/firmware.bin"; echo .)
expected=${expected%.}

start_comboflash
driver click-row "$DLG" 1006 0

for flash in 1 2; do
  driver press "$DLG" 1007
  expect_box "$DLG" "Status" "Flash Now!Please don't Power off!" information
  expect_box "$DLG" "Status" "$ASPI_DONE" information
  driver sync "$DLG"
  expect_sequences "$flash"
  expect_drive_verdict "$COMPLETE"
done
# The log is the second run's alone, its last line in view.
expect_text "$DLG" 1003 "$expected"
expect_log_line_in_view "$DLG" 32

# What the drive holds is what the second flash left in it.
cmp "$ASPI_REPORT.ha0-t0.bin" "$PROGRAM_DIR/firmware.bin" || fail "the drive's image differs from the firmware file"

driver press "$DLG" 1
expect_exit 0
