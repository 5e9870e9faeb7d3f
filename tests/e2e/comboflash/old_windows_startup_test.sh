#!/usr/bin/env bash
# The 32-bit ComboFlash.exe, with its application manifest, starts on the
# oldest Windows it is for as it always did: on Windows 98 in ASPI mode,
# listing the emulated layer's drive; on Windows 2000 and XP in pass-through
# mode, where the INQUIRY of a CD-ROM drive Wine cannot pass commands to
# fails with its box. Then Exit ends it with exit code 0.
# ARGS: win98 | win2k | winxp (the Windows version Wine reports)
source "$(dirname "$0")/common.sh"

version=${1:?Windows version}
case $version in
  win98)
    aspi_config
    aspi_mode
    windows_version ComboFlash.exe win98
    start_comboflash
    expect_list "$DLG" 1006 "$DRIVE_ROW"
    ;;
  win2k | winxp)
    cdrom_drive E "$E2E_WORK/cd"
    windows_version ComboFlash.exe "$version"
    start_program --in "$PROGRAM_DIR" "$PROGRAM_DIR/ComboFlash.exe"
    # The box comes while the dialog initialises, before it is shown.
    driver wait-window "$E2E_WAIT_MS" Status Error Message
    box=$R
    expect_box_shows "$box" "Status Error Message" "Error code:50" information
    driver close-box "$box"
    wait_window DLG "Quellin Combo Flash Program (Version: 1.02)"
    expect_list "$DLG" 1006 'E:\ '
    ;;
  *) fail "unknown Windows version $version" ;;
esac
expect_progress "$DLG" 1008 0 0 32
driver press "$DLG" 1
expect_exit 0
