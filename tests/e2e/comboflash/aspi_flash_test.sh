#!/usr/bin/env bash
# Flashing the one emulated drive in ASPI mode, from the list row to the
# image the drive received: the boxes in order, the checksum log, the status
# line, the progress bar, and the drive's own account of what it was sent.
# ARGS: complete | refused-page | status-first
source "$(dirname "$0")/common.sh"

case ${1:?case name} in
  complete)
    extra=()
    end_text=$'Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!'
    end_icon=information
    ;;
  status-first)
    # The layer writes each request's status at once and sets its event
    # 150 ms later: every page must still be waited for until its own event.
    extra=("completion status-first 150")
    end_text=$'Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!'
    end_icon=information
    ;;
  refused-page)
    # Page 7 comes back with SS_ERR; the run goes on and says so at the end.
    extra=("refuse-page 0 0 7 04")
    end_text=$'Flash Failed!\r\n1 of 32 pages were not written.'
    end_icon=stop
    ;;
  *) fail "unknown case $1" ;;
esac

aspi_mode
aspi_config "${extra[@]}"
make_firmware "$PROGRAM_DIR/firmware.bin" "$DRIVE_KEY" 300000
expected=$(expected_log "$PROGRAM_DIR/firmware.bin"; echo .)
expected=${expected%.}

start_comboflash
expect_text "$DLG" 1001 "$(windows_path "$PROGRAM_DIR/firmware.bin")"
expect_list "$DLG" 1006 "$DRIVE_ROW"
expect_progress "$DLG" 1008 0 0 32
driver click-row "$DLG" 1006 0
driver press "$DLG" 1007

expect_box "$DLG" "Status" "Flash Now!Please don't Power off!" information
if [ "$1" = refused-page ]; then
  # Page 7's box comes before its log line: the log ends with page 6's.
  wait_box BOX "$DLG"
  expect_log_line_in_view "$DLG" 6
  expect_box "$DLG" "Status Message" "SRB completed with error!" information
fi
expect_box "$DLG" "Status" "$end_text" "$end_icon"
driver sync "$DLG"

expect_text "$DLG" 1003 "$expected"
expect_eq "${#R}" 793 "length of the checksum log"
expect_text "$DLG" 1000 "$IDLE_STATUS"
expect_progress "$DLG" 1008 32 0 32
# The newest line, page 32's, is in view: the log followed the run.
expect_log_line_in_view "$DLG" 32

if [ "$1" != refused-page ]; then
  expect_drive_verdict "image complete and consistent"
  cmp "$ASPI_REPORT.ha0-t0.bin" "$PROGRAM_DIR/firmware.bin" || fail "the drive's image differs from the firmware file"
  # tools/make-screenshot asks for the README's picture of a finished flash.
  if [ -n "${E2E_SCREENSHOT:-}" ]; then
    window=$(xwininfo -root -tree | awk '/"Quellin Combo Flash Program/ {print $1; exit}')
    import -window "$window" "$E2E_SCREENSHOT" || fail "no screenshot of window $window"
  fi
else
  grep -q '^drive ha=0 target=0 commands=[0-9]* pages=31 ' "$ASPI_REPORT" ||
    fail "the drive should have accepted 31 pages: $(grep '^drive' "$ASPI_REPORT")"
fi

driver press "$DLG" 1
expect_exit 0
