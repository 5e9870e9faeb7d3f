#!/usr/bin/env bash
# One pass-through flash of the emulated drive behind the guest's kernel:
# the dialog's boxes and checksum log, then the drive's own verdict and the
# image it holds, and the command blocks as the kernel dispatched them.
# ARGS: complete | refused-page | silent-page | drive-removed, the drive's
# /dev/srN, a folder for the drive's report, the drive's identity options.
set -euo pipefail
here=$(dirname "$0")
source "$here/../../e2e/comboflash/common.sh"
source "$here/../guest-lib.sh"

case_name=${1:?case} device=${2:?device} report_dir=${3:?report folder}
shift 3
refused_page=7
case $case_name in
  complete)
    behaviour=()
    end_text="Flash Complete!"  # pass-through mode does not ask for a restart
    end_icon=information
    ;;
  refused-page)
    behaviour=(--refuse-page "$refused_page" --refusal-sense 03/0c/00)
    end_text=$'Flash Failed!\r\n1 of 32 pages were not written.'
    end_icon=stop
    ;;
  silent-page)
    # The drive hangs on one page; the target gives up on it with CHECK
    # CONDITION, which the program sees as a completed call with a bad status.
    silent_page=9
    behaviour=(--silent-page "$silent_page")
    end_text=$'Flash Failed!\r\n1 of 32 pages were not written.'
    end_icon=stop
    ;;
  drive-removed)
    # Pulled out while page 31 is under way: the target gives that page up,
    # and page 32 finds no device behind the handle (the call fails).
    removed_page=31
    behaviour=(--detach-page "$removed_page" --detach-command "$TCMU_DRIVE detach")
    end_text=$'Flash Failed!\r\n2 of 32 pages were not written.'
    end_icon=stop
    ;;
  *) fail "unknown case $case_name" ;;
esac

# expect_error_code_box: the box of a failed call, whose code the system chooses.
expect_error_code_box() {
  local box
  wait_box box "$DLG"
  driver box-caption "$box"
  expect_eq "$R" "Status Error Message" "caption of the message box"
  driver box-text "$box"
  [[ $R =~ ^Error\ code:[0-9]+$ ]] || fail "text of the message box: \"$R\", expected Error code:N"
  driver box-icon "$box"
  expect_eq "$R" information "icon of the message box"
  driver close-box "$box"
}

"$TCMU_DRIVE" start "$report_dir" "$@" "${behaviour[@]}" >/dev/null || fail "the emulated drive did not start"
drive_running=1
stop_drive() {
  [ -n "${drive_running:-}" ] || return 0
  drive_running=
  "$TCMU_DRIVE" stop "$report_dir" || fail "the emulated drive did not stop"
}

# Pass-through mode (the template prefix says so), with E: a CD-ROM drive
# whose device is the emulated one.
ln -sfn "$E2E_WORK/cd" "$WINEPREFIX/dosdevices/e:"
ln -sfn "$device" "$WINEPREFIX/dosdevices/e::"

make_firmware "$PROGRAM_DIR/firmware.bin" "$DRIVE_KEY" 300000
expected=$(expected_log "$PROGRAM_DIR/firmware.bin"; echo .)
expected=${expected%.}

trace_start "$device"
start_comboflash
# The identity is 36 characters from byte 8 of the answer; the drive's
# answer ends at byte 36, and the 8 zero bytes after it show as blanks.
expect_list "$DLG" 1006 "$DRIVE_ROW        "
driver click-row "$DLG" 1006 0
driver press "$DLG" 1007
expect_box "$DLG" "Status" "Flash Now!Please don't Power off!" information
case $case_name in
  refused-page | silent-page) expect_box "$DLG" "Satus Message" "Command Not Complete!" information ;;
  drive-removed)
    expect_box "$DLG" "Satus Message" "Command Not Complete!" information
    expect_error_code_box
    expect_box "$DLG" "Satus Message" "Command Not Complete!" information
    ;;
esac
expect_box "$DLG" "Status" "$end_text" "$end_icon"
driver sync "$DLG"
expect_text "$DLG" 1003 "$expected"
expect_progress "$DLG" 1008 32 0 32
driver press "$DLG" 1
expect_exit 0
stop_drive

report=$report_dir/report
verdict=$(sed -n 's/^drive .* verdict=//p' "$report")
if [ "$case_name" = complete ]; then
  expect_eq "$verdict" "image complete and consistent" "the drive's verdict"
  cmp "$report_dir/image" "$PROGRAM_DIR/firmware.bin" || fail "the drive's image differs from the firmware file"
elif [ "$case_name" = silent-page ]; then
  # The drive never saw the page it hung on, and says so after the count.
  [[ $verdict == "image incomplete: 31 of 32 pages accepted; "* ]] || fail "the drive's verdict: $verdict"
  expect_eq "$(grep -c '^unanswered: fd ' "$report")" 1 "pages left unanswered"
elif [ "$case_name" = drive-removed ]; then
  [[ $verdict == "image incomplete: 30 of 32 pages accepted"* ]] || fail "the drive's verdict: $verdict"
  expect_eq "$(grep -c '^unanswered: fd ' "$report")" 1 "pages left unanswered"
  [ ! -e "$device" ] || fail "$device is still there"
  echo "case $case_name: $verdict"
  exit 0  # the last page never reached the drive, nor the kernel's dispatch
else
  expect_eq "$verdict" "image incomplete: 31 of 32 pages accepted" "the drive's verdict"
  expect_eq "$(grep -c '^command: fd .* status 02 sense 03/0c/00$' "$report")" 1 "pages refused with the given sense"
  # Every page but the refused one holds the file's bytes; that one is empty.
  page=16384 offset=$(((refused_page - 1) * 16384))
  cmp -n "$offset" "$report_dir/image" "$PROGRAM_DIR/firmware.bin" || fail "the pages before the refused one differ"
  cmp -i $((offset + page)) "$report_dir/image" "$PROGRAM_DIR/firmware.bin" || fail "the pages after the refused one differ"
  [ "$(head -c $((offset + page)) "$report_dir/image" | tail -c "$page" | tr -d '\0' | wc -c)" -eq 0 ] ||
    fail "the refused page was stored"
fi

# The target passes only bytes 0-9 of a vendor command on; the midlayer's
# trace shows all 12 as dispatched: the same first 10 bytes, in the same
# order, then the page number and the page count.
mapfile -t dispatched < <(trace_cdbs fd)
mapfile -t received < <(sed -n -e 's/^command: \(fd[0-9a-f ]*\) data .*/\1/p' -e 's/^unanswered: \(fd[0-9a-f ]*\)$/\1/p' "$report")
expect_eq "${#dispatched[@]}" 32 "page writes dispatched by the kernel"
expect_eq "${#received[@]}" 32 "page writes the drive received"
for ((i = 0; i < ${#dispatched[@]}; i++)); do
  cdb=(${dispatched[$i]})
  expect_eq "${#cdb[@]}" 12 "length of dispatched page write $((i + 1))"
  expect_eq "${cdb[*]:0:10}" "${received[$i]}" "bytes 0-9 of page write $((i + 1)) as dispatched and as received"
  expect_eq "${cdb[10]} ${cdb[11]}" "$(printf '%02x 20' $((i + 1)))" "bytes 10-11 of page write $((i + 1))"
done
echo "case $case_name: $verdict"
