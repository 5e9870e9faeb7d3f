#!/usr/bin/env bash
# What ComboFlash shows in ASPI mode when it cannot flash: no layer, a layer
# without both entry points, a Flash press with no drive marked, a folder
# the preselection takes for the firmware file. None of them sends a page.
# The boxes of the engine's other verdicts on a file are the presenter's
# native tests.
# ARGS: no-layer | incomplete-layer | no-drive-marked | folder-named-bin
source "$(dirname "$0")/common.sh"

aspi_config
make_firmware "$PROGRAM_DIR/firmware.bin" "$DRIVE_KEY" 4096
case ${1:?case name} in
  no-layer)
    aspi_mode
    dll_override ComboFlash.exe wnaspi32 disabled
    ;;
  incomplete-layer) aspi_mode "$(program wnaspi32_incomplete)" ;;
  no-drive-marked) aspi_mode ;;
  folder-named-bin)
    # The preselection takes a folder that matches *.bin like a file.
    aspi_mode
    rm "$PROGRAM_DIR/firmware.bin"
    mkdir "$PROGRAM_DIR/firmware.bin"
    box=(Error "Open binary file error" none)
    ;;
  *) fail "unknown case $1" ;;
esac

case $1 in
  no-layer | incomplete-layer)
    # The layer is loaded before the dialog exists: the box has no owner.
    start_program --in "$PROGRAM_DIR" "$PROGRAM_DIR/ComboFlash.exe"
    if [ "$1" = no-layer ]; then
      expect_box 0 "Error Status" "Load wnaspi32.dll Fail!" information
    else
      expect_box 0 "Error Status" "Get ASPI32 Information and Send Command Error!" information
    fi
    wait_window DLG "Quellin Combo Flash Program (Version: 1.02)"
    expect_list "$DLG" 1006
    expect_enabled "$DLG" 1007 1
    driver press "$DLG" 1007
    expect_box "$DLG" "Error Status" "No drive Select!" information
    expect_text "$DLG" 1000 ""
    ;;
  no-drive-marked)
    start_comboflash
    expect_list "$DLG" 1006 "$DRIVE_ROW"
    driver press "$DLG" 1007
    expect_box "$DLG" "Error Status" "No drive Select!" information
    driver sync "$DLG"
    expect_text "$DLG" 1000 ""
    ;;
  *)
    start_comboflash
    expect_text "$DLG" 1001 "$(windows_path "$PROGRAM_DIR/firmware.bin")"
    driver click-row "$DLG" 1006 0
    driver press "$DLG" 1007
    expect_box "$DLG" "${box[@]}"
    driver sync "$DLG"
    expect_text "$DLG" 1000 "Drive E: is processing"
    ;;
esac
expect_no_box "$DLG" 500
expect_text "$DLG" 1003 ""
expect_progress "$DLG" 1008 0 0 32
if [ -e "$ASPI_REPORT.ha0-t0.bin" ] || grep -q 'cdb=fd' "$ASPI_REPORT" 2>/dev/null; then
  fail "a page was sent: $(cat "$ASPI_REPORT")"
fi

driver key "$DLG" escape
expect_exit 0
