#!/usr/bin/env bash
# Keys typed while a slow flash holds the window are not taken as answers to
# the boxes the run shows next: each box stays until it is closed, so the
# verdict is seen. The drive answers every page late, so the keys are typed
# while the run waits for the drive.
# ARGS: complete | refused-page
source "$(dirname "$0")/common.sh"

case ${1:?case name} in
  complete)
    extra=()
    end_text=$'Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!'
    end_icon=information
    ;;
  refused-page)
    extra=("refuse-page 0 0 12 04")
    end_text=$'Flash Failed!\r\n1 of 32 pages were not written.'
    end_icon=stop
    ;;
  *) fail "unknown case $1" ;;
esac

LATE_MS=150   # per page: the run takes about 5 s

# type_ahead: what an impatient user types at the busy window.
type_ahead() {
  local key
  for key in escape space enter escape; do driver type-key "$key"; done
}

# expect_box_stays CAPTION TEXT ICON: the next box shows this and is still
# there a while later, when it is closed with OK.
expect_box_stays() {
  local box
  wait_box box "$DLG"
  driver sleep 1500
  expect_box_shows "$box" "$1" "$2" "$3"
  driver close-box "$box"
}

aspi_mode
aspi_config "completion deferred 5" "pages 0 0 late $LATE_MS" "${extra[@]}"
make_firmware "$PROGRAM_DIR/firmware.bin" "$DRIVE_KEY" 4096

start_comboflash
driver click-row "$DLG" 1006 0
driver press "$DLG" 1007
expect_box "$DLG" "Status" "Flash Now!Please don't Power off!" information
type_ahead
if [ "$1" = refused-page ]; then
  expect_box_stays "Status Message" "SRB completed with error!" information
  type_ahead
fi
expect_box_stays "Status" "$end_text" "$end_icon"
driver sync "$DLG"

# The run went through to its end, and the program is still there to be closed.
expect_progress "$DLG" 1008 32 0 32
expect_text "$DLG" 1000 "$IDLE_STATUS"
if [ "$1" = complete ]; then
  expect_drive_verdict "image complete and consistent"
fi
driver press "$DLG" 1
expect_exit 0
