#!/usr/bin/env bash
# Two flashes of the emulated ASPI drive in one session: the drive takes the
# second as a fresh start and judges each flash on its own, and the layer's
# report says what each one got.
# ARGS: both-whole | second-refused
source "$(dirname "$0")/common.sh"

COMPLETE="image complete and consistent"
INCOMPLETE="image incomplete: 31 of 32 pages accepted"
ASPI_DONE=$'Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!'
ASPI_FAILED=$'Flash Failed!\r\n1 of 32 pages were not written.'

case ${1:?case name} in
  both-whole)
    extra=()
    second_verdict=$COMPLETE
    drive_verdict=$COMPLETE
    ;;
  second-refused)
    # Page 7 comes back with SS_ERR in the second flash only.
    extra=("refuse-page 0 0 7 04 sequence 2")
    second_verdict=$INCOMPLETE
    drive_verdict="sequence 2: $INCOMPLETE"
    ;;
  *) fail "unknown case $1" ;;
esac

# expect_sequences VERDICT...: the report has one sequence line per flash so
# far, with these verdicts in order.
expect_sequences() {
  local lines=() number=1 verdict
  mapfile -t lines < <(grep '^sequence ha=0 target=0 ' "$ASPI_REPORT" || true)
  expect_eq "${#lines[@]}" "$#" "flashes the drive saw"
  for verdict in "$@"; do
    expect_eq "${lines[$((number - 1))]}" \
      "sequence ha=0 target=0 number=$number pages=$([ "$verdict" = "$COMPLETE" ] && echo 32 || echo 31) verdict=$verdict" \
      "report line of flash $number"
    number=$((number + 1))
  done
}

aspi_mode
aspi_config "${extra[@]}"
make_firmware "$PROGRAM_DIR/firmware.bin" "$DRIVE_KEY" 200000
expected=$(expected_log "$PROGRAM_DIR/firmware.bin"; echo .)
expected=${expected%.}

start_comboflash
driver click-row "$DLG" 1006 0

driver press "$DLG" 1007
expect_box "$DLG" "Status" "Flash Now!Please don't Power off!" information
expect_box "$DLG" "Status" "$ASPI_DONE" information
driver sync "$DLG"
expect_sequences "$COMPLETE"
expect_drive_verdict "$COMPLETE"

driver press "$DLG" 1007
expect_box "$DLG" "Status" "Flash Now!Please don't Power off!" information
if [ "$1" = second-refused ]; then
  expect_box "$DLG" "Status Message" "SRB completed with error!" information
  expect_box "$DLG" "Status" "$ASPI_FAILED" stop
else
  expect_box "$DLG" "Status" "$ASPI_DONE" information
fi
driver sync "$DLG"
expect_text "$DLG" 1003 "$expected"
expect_log_line_in_view "$DLG" 32
expect_sequences "$COMPLETE" "$second_verdict"
expect_drive_verdict "$drive_verdict"

# What the drive holds is what the second flash left in it.
if [ "$1" = both-whole ]; then
  cmp "$ASPI_REPORT.ha0-t0.bin" "$PROGRAM_DIR/firmware.bin" || fail "the drive's image differs from the firmware file"
else
  first_difference=$(cmp "$ASPI_REPORT.ha0-t0.bin" "$PROGRAM_DIR/firmware.bin" | awk '{print $5}' | tr -d ,) || true
  page=$(( (first_difference - 1) / 16384 + 1 ))
  expect_eq "$page" 7 "first page where the drive's image differs from the firmware file"
fi

driver press "$DLG" 1
expect_exit 0
