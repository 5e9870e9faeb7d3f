# Shared by the ComboFlash end-to-end tests: the program in a folder of its
# own, the emulated ASPI layer beside it, and firmware samples with the
# checksum log a complete run of them writes.
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/modes.sh"

PROGRAM_DIR=$E2E_WORK/program
# The README's picture shows the file box: there a folder of the prefix's
# own drive C: stands for where a user keeps the program.
[ -z "${E2E_SCREENSHOT:-}" ] || PROGRAM_DIR=$WINEPREFIX/drive_c/ComboFlash
mkdir -p "$PROGRAM_DIR" "$E2E_WORK/cd"
cp "$(program ComboFlash)" "$PROGRAM_DIR/"

# The emulated drive the ASPI tests configure, and its row in the drive list.
DRIVE_VENDOR="EMULATED"
DRIVE_PRODUCT="COMBO DRIVE RW  "
DRIVE_REVISION="1.00"
DRIVE_KEY="$DRIVE_VENDOR$DRIVE_PRODUCT"
DRIVE_ROW="E:\\ $DRIVE_KEY$DRIVE_REVISION"

ASPI_CONFIG=$E2E_WORK/aspi.conf
ASPI_REPORT=$E2E_WORK/aspi.report
IDLE_STATUS="                         "   # 25 blanks

# aspi_mode [LIBRARY]: ComboFlash runs as on the Windows 95 family with E: a
# CD-ROM drive and LIBRARY (default: our emulated layer) as its wnaspi32.dll.
# Its tests copy the aspi template prefix (TEMPLATE aspi in CMakeLists.txt),
# which has these settings already.
# The layer reads the configuration written to $ASPI_CONFIG.
aspi_mode() {
  cp "${1:-$(program wnaspi32)}" "$PROGRAM_DIR/wnaspi32.dll"
  comboflash_mode aspi "$E2E_WORK/cd"
  # The driver starts the program, which inherits these from it.
  export COMBOFLASH_ASPI_CONFIG=$ASPI_CONFIG COMBOFLASH_ASPI_REPORT=$ASPI_REPORT
}

# aspi_config LINE...: the emulated layer's configuration, one drive at
# host adapter 0, target 0 answering as the drive above, then LINE...
aspi_config() {
  {
    echo "target 0 0 05 \"$DRIVE_VENDOR\" \"$DRIVE_PRODUCT\" \"$DRIVE_REVISION\""
    printf '%s\n' "$@"
  } >"$ASPI_CONFIG"
}

# make_firmware FILE KEY OFFSET: 524,288 deterministic bytes with KEY at OFFSET.
make_firmware() {
  "$(dirname "${BASH_SOURCE[0]}")/../../../tools/make-sample-firmware" "$1" "$2" "$3"
}

# expected_log FILE: the checksum log a complete run of FILE writes.
expected_log() {
  python3 - "$1" <<'PY'
import sys
data = open(sys.argv[1], "rb").read().ljust(524288, b"\0")
text = "Firmware Checksum: %4x\r\n" % (sum(data) & 0xFFFF)
for page in range(32):
    text += "Page-%2d Checksum: %4x\r\n" % (page + 1, sum(data[page * 16384:(page + 1) * 16384]) & 0xFFFF)
sys.stdout.write(text)
PY
}

# start_comboflash: starts the program in its folder and waits for its dialog (DLG).
start_comboflash() {
  start_program --in "$PROGRAM_DIR" "$PROGRAM_DIR/ComboFlash.exe"
  wait_window DLG "Quellin Combo Flash Program (Version: 1.02)"
}

# expect_drive_verdict TEXT: the emulated drive's verdict in the layer's report.
expect_drive_verdict() {
  local line
  line=$(grep '^drive ha=0 target=0 ' "$ASPI_REPORT") || fail "no drive line in the report: $(cat "$ASPI_REPORT" 2>&1)"
  expect_eq "${line#*verdict=}" "$1" "verdict of the emulated drive"
}

# expect_log_line_in_view DLG LINE: line LINE (from 0) of the checksum log
# lies wholly inside the log's view.
expect_log_line_in_view() {
  local dlg=$1 line=$2 top height view first
  driver edit-first-line "$dlg" 1003
  first=$R
  driver edit-line-top "$dlg" 1003 "$line"
  top=$R
  driver edit-line-top "$dlg" 1003 $((line - 1))
  height=$((top - R))
  driver client-size "$dlg" 1003
  view=${R#* }
  ((height > 0 && top >= 0 && top + height <= view)) ||
    fail "line $line of the checksum log is out of view: its top at $top, line height $height, view height $view, first visible line $first"
}
