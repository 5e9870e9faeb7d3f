#!/usr/bin/env bash
# Each way a user ends ComboFlash: the Exit button (pressed or clicked), the
# Enter key (Exit is the default button), Escape and the close box. The
# program ends as soon as its dialog does, with exit code 0 whatever ended it.
source "$(dirname "$0")/common.sh"

ways=(
  "press 1"
  "click 1"
  "key enter"
  "key escape"
  "syscommand 0xF060"
)
for action in "${ways[@]}"; do
  start_comboflash
  read -r verb argument <<<"$action"
  driver "$verb" "$DLG" "$argument"
  expect_exit 0
  driver wait-gone "$DLG" 5000
done
