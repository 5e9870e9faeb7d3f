#!/usr/bin/env bash
# Choosing the firmware file with Select through the system's file dialog.
# ARGS: confirm | cancel | cancel-without-file
#   confirm: of two files in the folder, the one not preselected is chosen;
#     the path box shows it and a flash of the emulated drive (ASPI mode)
#     sends that file, not the preselected one.
#   cancel: the preselected path and the enabled Flash button stay.
#   cancel-without-file: nothing preselected; path empty, Flash disabled.
source "$(dirname "$0")/common.sh"

case ${1:?case name} in
  confirm)
    aspi_mode
    aspi_config
    # Neither carries the drive's key yet: only the one chosen later will.
    make_firmware "$PROGRAM_DIR/alpha.bin" "OTHER DRIVE KEY" 0
    make_firmware "$PROGRAM_DIR/beta.bin" "OTHER DRIVE KEY" 0
    ;;
  cancel)
    make_firmware "$PROGRAM_DIR/alpha.bin" "$DRIVE_KEY" 0
    make_firmware "$PROGRAM_DIR/beta.bin" "$DRIVE_KEY" 0
    ;;
  cancel-without-file) ;;
  *) fail "unknown case $1" ;;
esac

start_comboflash
driver text "$DLG" 1001
preselected=$R
driver enabled "$DLG" 1007
flash_enabled=$R
if [ "$1" = cancel-without-file ]; then
  expect_eq "$preselected" "" "preselected path"
  expect_eq "$flash_enabled" 0 "enabled state of Flash with no file"
else
  expect_eq "$flash_enabled" 1 "enabled state of Flash with a file"
fi

driver press "$DLG" 1002
wait_window OPEN "Open"
driver text "$OPEN" 1136
expect_eq "$R" "Bin Files (*.bin)" "file type of the file dialog"

if [ "$1" = confirm ]; then
  case $preselected in
    *\\alpha.bin) chosen=beta.bin ;;
    *\\beta.bin) chosen=alpha.bin ;;
    *) fail "unexpected preselection $preselected" ;;
  esac
  make_firmware "$PROGRAM_DIR/$chosen" "$DRIVE_KEY" 100000
  # The file list is a list view inside the dialog's shell view window.
  driver dump "$OPEN"
  view=$(printf '%s\n' "${DETAILS[@]}" | awk '$2 == "class=SHELLDLL_DefView" {print $1}')
  [ -n "$view" ] || fail "no shell view in the file dialog"
  driver list-text "$view" 1 0
  row=0
  [ "$R" = "$chosen" ] || row=1
  driver click-row "$view" 1 "$row"
  expect_text "$OPEN" 1148 "$chosen"
  driver press "$OPEN" 1
  driver wait-gone "$OPEN" 5000
  driver sync "$DLG"
  expect_text "$DLG" 1001 "$(windows_path "$PROGRAM_DIR/$chosen")"
  expect_enabled "$DLG" 1007 1

  driver click-row "$DLG" 1006 0
  driver press "$DLG" 1007
  expect_box "$DLG" "Status" "Flash Now!Please don't Power off!" information
  expect_box "$DLG" "Status" $'Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!' information
  expect_drive_verdict "image complete and consistent"
  cmp "$ASPI_REPORT.ha0-t0.bin" "$PROGRAM_DIR/$chosen" || fail "the drive did not receive $chosen"
else
  driver press "$OPEN" 2
  driver wait-gone "$OPEN" 5000
  driver sync "$DLG"
  expect_text "$DLG" 1001 "$preselected"
  expect_enabled "$DLG" 1007 "$flash_enabled"
fi

driver press "$DLG" 1
expect_exit 0
