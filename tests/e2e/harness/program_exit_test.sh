#!/usr/bin/env bash
# Each way a user ends the dialog, and the exit code that follows.
source "$(dirname "$0")/../lib.sh"

ways=(
  "key escape|2"
  "key enter|1"
  "press 1|1"
  "click 1|1"
  "syscommand 0xF060|2"
)
for row in "${ways[@]}"; do
  IFS='|' read -r action code <<<"$row"
  start_program "$(program uidriver_target)"
  wait_window DLG "UI Driver Target"
  read -r verb argument <<<"$action"
  driver "$verb" "$DLG" "$argument"
  expect_exit "$code"
  driver wait-gone "$DLG" 5000
done

# A program that the test ends itself.
start_program "$(program uidriver_target)"
wait_window DLG "UI Driver Target"
driver kill "$PROGRAM_PID"
expect_exit 255
