#!/usr/bin/env bash
# ComboFlash starting on the NT family (pass-through mode) with E: a CD-ROM
# drive that Wine cannot pass commands to: the drive's INQUIRY fails while
# the dialog initialises, the drive is listed without identity, and the
# dialog comes up with the list column, progress bar, path box and Flash
# button set. ARGS: with-file | without-file (a *.bin in the current folder)
source "$(dirname "$0")/common.sh"

cdrom_drive E "$E2E_WORK/cd"
case ${1:?case name} in
  with-file)
    make_firmware "$PROGRAM_DIR/firmware.bin" "$DRIVE_KEY" 0
    path=$(windows_path "$PROGRAM_DIR/firmware.bin")
    flash_enabled=1
    ;;
  without-file) path="" flash_enabled=0 ;;
  *) fail "unknown case $1" ;;
esac

start_program --in "$PROGRAM_DIR" "$PROGRAM_DIR/ComboFlash.exe"
# The box comes while the dialog initialises, before it is shown; the dialog
# owns it all the same.
driver wait-window "$E2E_WAIT_MS" Status Error Message
box=$R
driver box-owner "$box"
owner=$R
expect_box_shows "$box" "Status Error Message" "Error code:50" information
driver close-box "$box"
wait_window DLG "Quellin Combo Flash Program (Version: 1.02)"
expect_eq "$owner" "$DLG" "owner of the INQUIRY error box"

expect_list "$DLG" 1006 'E:\ '
driver list-columns "$DLG" 1006
expect_eq "$R" 1 "columns of the drive list"
driver list-column "$DLG" 1006 0
expect_eq "$R" "Drive Letter :" "header of the drive list's column"
driver list-column-width "$DLG" 1006 0
width=$R
driver client-size "$DLG" 1006
expect_eq "$width" "${R%% *}" "width of the column against the list's client width"
expect_progress "$DLG" 1008 0 0 32
driver progress-step "$DLG" 1008
expect_eq "$R" 1 "step of the progress bar"
expect_text "$DLG" 1001 "$path"
expect_enabled "$DLG" 1007 "$flash_enabled"
expect_text "$DLG" 1000 ""
expect_text "$DLG" 1003 ""
driver focus "$DLG"
expect_eq "$R" 1 "control with the keyboard focus"

driver press "$DLG" 1
expect_exit 0
