#!/usr/bin/env bash
# ComboFlash starting on the NT family (pass-through mode) with E: a CD-ROM
# drive that Wine cannot pass commands to: the drive's INQUIRY fails while
# the dialog initialises, the drive is listed without identity, and the
# dialog comes up with the list column, progress bar, path box and Flash
# button set. ARGS: with-file | without-file (a *.bin in the current folder)
# | long-folder-fits | long-folder-too-long (the current folder's path with
# "\*.bin" just fits the 250-character buffer, or is one character too long:
# then nothing is preselected and nothing overflows)
source "$(dirname "$0")/common.sh"

comboflash_mode passthrough "$E2E_WORK/cd"
# deep_folder LENGTH: a folder under the program's whose Windows path is
# LENGTH characters long.
deep_folder() {
  local dir=$PROGRAM_DIR remaining n
  remaining=$(($1 - $(windows_path "$dir" | wc -c)))
  while [ "$remaining" -gt 0 ]; do
    n=$((remaining - 1 < 100 ? remaining - 1 : 100))
    [ $((remaining - n - 1)) -eq 1 ] && n=$((n - 1))  # never leave room for a one-character step
    dir=$dir/$(printf 'd%.0s' $(seq "$n"))
    remaining=$((remaining - n - 1))
  done
  mkdir -p "$dir"
  echo "$dir"
}

folder=$PROGRAM_DIR
case ${1:?case name} in
  long-folder-fits)
    folder=$(deep_folder 243)  # 243 + "\*.bin" + terminator = 250
    expect_eq "$(windows_path "$folder" | wc -c)" 243 "length of the folder's path"
    make_firmware "$folder/firmware.bin" "$DRIVE_KEY" 0
    path=$(windows_path "$folder/firmware.bin")
    flash_enabled=1
    ;;
  long-folder-too-long)
    folder=$(deep_folder 244)
    expect_eq "$(windows_path "$folder" | wc -c)" 244 "length of the folder's path"
    make_firmware "$folder/firmware.bin" "$DRIVE_KEY" 0
    path="" flash_enabled=0
    ;;
  with-file)
    make_firmware "$PROGRAM_DIR/firmware.bin" "$DRIVE_KEY" 0
    path=$(windows_path "$PROGRAM_DIR/firmware.bin")
    flash_enabled=1
    ;;
  without-file) path="" flash_enabled=0 ;;
  *) fail "unknown case $1" ;;
esac

start_program --in "$folder" "$PROGRAM_DIR/ComboFlash.exe"
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
