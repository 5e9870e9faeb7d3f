#!/usr/bin/env bash
# Fails on purpose, for failure_report_test.sh: line 9 expects a wrong text.
source "$(dirname "$0")/../lib.sh"

start_program "$(program uidriver_target)"
wait_window DLG "UI Driver Target"
expect_text "$DLG" 1000 "Ready"

expect_text "$DLG" 1000 "Busy"
