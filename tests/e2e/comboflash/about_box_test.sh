#!/usr/bin/env bash
# The About item that ComboFlash adds to its system menu opens the About box;
# OK closes it and the main dialog takes input again.
source "$(dirname "$0")/common.sh"

start_comboflash
driver syscommand "$DLG" 16
wait_window ABOUT " About Quellin Flash Program"
driver text "$ABOUT" 1
expect_eq "$R" "OK" "text of the About box's button"
driver press "$ABOUT" 1
driver wait-gone "$ABOUT" 5000
driver sync "$DLG"
expect_enabled "$DLG" - 1

# A second time, closed with Escape this time.
driver syscommand "$DLG" 16
wait_window ABOUT " About Quellin Flash Program"
driver key "$ABOUT" escape
driver wait-gone "$ABOUT" 5000
driver sync "$DLG"
expect_enabled "$DLG" - 1
expect_text "$DLG" - "Quellin Combo Flash Program (Version: 1.02)"

driver press "$DLG" 1
expect_exit 0
