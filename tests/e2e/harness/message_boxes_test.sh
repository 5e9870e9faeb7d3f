#!/usr/bin/env bash
# Finding message boxes by owner and reading caption, text, icon and buttons.
source "$(dirname "$0")/../lib.sh"

# A box shown before the dialog exists has no owner.
start_program "$(program uidriver_target)" --box-first
expect_box 0 "Error Status" "Shown before the dialog" none
wait_window DLG "UI Driver Target"
expect_no_box 0 500

# Each button shows one box owned by the dialog: button, caption, text, icon.
# Texts are written with printf escapes (\r\n) to keep each row on one line.
boxes=(
  '1002|Status Message|Information text|information'
  '1003||First line\r\nSecond line|stop'
  '1004|Error|Drive handle error|none'
)
for row in "${boxes[@]}"; do
  IFS='|' read -r button caption text icon <<<"$row"
  printf -v text '%b' "$text"
  driver press "$DLG" "$button"
  wait_box box "$DLG"
  driver box-owner "$box"
  expect_eq "$R" "$DLG" "owner of the box of button $button"
  expect_box_shows "$box" "$caption" "$text" "$icon"
  # The dialog cannot be used while its box is open.
  expect_enabled "$DLG" - 0
  driver close-box "$box"
  expect_no_box "$DLG" 300
done

# Without a marked row the flash command complains.
expect_box_after() { driver press "$DLG" "$1"; shift; expect_box "$DLG" "$@"; }
expect_box_after 1007 "Error Status" "No drive Select!" information

# The item added to the system menu.
driver syscommand "$DLG" 16
expect_box "$DLG" " About" "About the stand-in" none

driver press "$DLG" 1
expect_exit 1
