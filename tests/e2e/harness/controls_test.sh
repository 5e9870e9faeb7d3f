#!/usr/bin/env bash
# Reading a dialog's controls and working its list view and buttons.
source "$(dirname "$0")/../lib.sh"

start_program "$(program uidriver_target)"
wait_window DLG "UI Driver Target"

# What kind of window each one is, and who owns it.
driver window-pid "$DLG"
expect_eq "$R" "$PROGRAM_PID" "process of the dialog"
driver class "$DLG" 1006
expect_eq "$R" SysListView32 "class of control 1006"
driver focus "$DLG"
expect_eq "$R" 1 "control with the keyboard focus"
driver dump "$DLG"
[[ " ${DETAILS[*]} " == *" class=SysListView32 id=1006 "* ]] || fail "dump does not list the list view: ${DETAILS[*]}"
driver rect "$DLG"
read -r left top right bottom <<<"$R"
driver rect "$DLG" 1006
read -r list_left list_top list_right list_bottom <<<"$R"
((left < list_left && list_right < right && top < list_top && list_bottom < bottom)) ||
  fail "the list ($list_left $list_top $list_right $list_bottom) is not inside the dialog ($left $top $right $bottom)"

# Texts, including a multi-line one, and the enabled and visible states.
expect_text "$DLG" - "UI Driver Target"
expect_text "$DLG" 1000 "Ready"
expect_text "$DLG" 1005 $'first line\r\nsecond line'
expect_enabled "$DLG" 1007 1
expect_enabled "$DLG" 1009 0
expect_visible "$DLG" 1008 1
expect_visible "$DLG" 1010 0

# The list view's rows, column and image live in the program's memory.
expect_list "$DLG" 1006 'D:\ VENDOR  PRODUCT NAME    1.00' 'E:\ OTHER   SECOND DRIVE    2.10'
driver list-columns "$DLG" 1006
expect_eq "$R" 1 "number of columns"
driver list-column "$DLG" 1006 0
expect_eq "$R" "Drive Letter :" "column title"
driver client-size "$DLG" 1006
client_width=${R%% *}
driver list-column-width "$DLG" 1006 0
expect_eq "$R" "$client_width" "column width against the list's client width"
driver list-image "$DLG" 1006 1
expect_eq "$R" 0 "image of row 1"
expect_mark "$DLG" 1006 -1
expect_progress "$DLG" 1008 0 0 32
driver progress-step "$DLG" 1008
expect_eq "$R" 1 "progress step"

# A real click marks a row; the program reads the mark when Flash is pressed.
driver click-row "$DLG" 1006 1
expect_mark "$DLG" 1006 1
driver list-selected "$DLG" 1006
expect_eq "$R" 1 "selected rows"
driver click-row "$DLG" 1006 0
expect_mark "$DLG" 1006 0
driver press "$DLG" 1007
wait_box box "$DLG"
# While the box is open the program waits inside its handler.
expect_text "$DLG" 1000 "Drive D: is processing"
expect_progress "$DLG" 1008 1
expect_box_shows "$box" "Status" "Flash Complete!" information
driver close-box "$box"
driver sync "$DLG"
expect_text "$DLG" 1000 ""

# A user cannot press a disabled button: the driver refuses, a real click does nothing.
if _e2e_send press "$DLG" 1009; then fail "press on a disabled button was not refused"; fi
expect_eq "$R" "control 1009 is disabled" "refusal of press"
driver click "$DLG" 1009
driver sync "$DLG"
expect_text "$DLG" 1000 ""
expect_no_box "$DLG" 500

driver key "$DLG" escape
expect_exit 2
