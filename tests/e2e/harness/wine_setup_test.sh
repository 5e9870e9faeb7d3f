#!/usr/bin/env bash
# The Wine settings a test makes before its program starts, as the program
# sees them: platform id, type of drive D:, and which library the two ASPI
# library names load ("ours": the empty stand-in, "wine": Wine's own; then
# the folder the system reports for it). The program sits in one folder
# and is started in another.
source "$(dirname "$0")/../lib.sh"

program_folder=$E2E_WORK/program
current_folder=$E2E_WORK/current
mkdir -p "$program_folder" "$current_folder" "$E2E_WORK/cd"
cp "$(program uidriver_target)" "$program_folder/"
library=$(program uidriver_target_library)

case ${1:?setup name} in
  default)
    # Wine's own library wins over one beside the program, though the
    # system names the file beside the program as the one loaded.
    cp "$library" "$program_folder/wnaspi32.dll"
    expected="platform=2 d=1 c:wnaspi32=error126 wnaspi32=wine:program-folder"
    ;;
  library-on-drive-c)
    # Even a library named by its path gives way to Wine's own.
    cp "$library" "$WINEPREFIX/drive_c/wnaspi32.dll"
    expected="platform=2 d=1 c:wnaspi32=wine:c-root wnaspi32=wine:system"
    ;;
  library-on-drive-c-native)
    cp "$library" "$WINEPREFIX/drive_c/wnaspi32.dll"
    dll_override uidriver_target.exe wnaspi32 native
    expected="platform=2 d=1 c:wnaspi32=ours:c-root wnaspi32=error126"
    ;;
  library-in-current-folder-native)
    # The current folder is never searched for a native library.
    cp "$library" "$current_folder/wnaspi32.dll"
    dll_override uidriver_target.exe wnaspi32 native
    expected="platform=2 d=1 c:wnaspi32=error126 wnaspi32=error126"
    ;;
  aspi)
    # What a program that should reach a library of ours in ASPI mode needs.
    cp "$library" "$program_folder/wnaspi32.dll"
    windows_version uidriver_target.exe win98
    cdrom_drive D "$E2E_WORK/cd"
    dll_override uidriver_target.exe wnaspi32 native
    expected="platform=1 d=5 c:wnaspi32=error1157 wnaspi32=ours:program-folder"
    ;;
  no-aspi-library)
    cp "$library" "$program_folder/wnaspi32.dll"
    windows_version uidriver_target.exe win10
    dll_override uidriver_target.exe wnaspi32 disabled
    expected="platform=2 d=1 c:wnaspi32=error126 wnaspi32=error126"
    ;;
  *) fail "unknown setup $1" ;;
esac

start_program --in "$current_folder" "$program_folder/uidriver_target.exe"
wait_window DLG "UI Driver Target"
expect_text "$DLG" 1001 "$expected"
driver key "$DLG" escape
expect_exit 2
