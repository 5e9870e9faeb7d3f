# Shared by the scripts that run inside the test guest (as root, all of them
# parts of one boot, several cases each). Each case runs as a process of its
# own with a time-out; the part's script reports every case and fails if any did.
#
# Needs, from the host (tests/guest/CMakeLists.txt passes them):
#   GUEST_TCMU_DRIVE       the comboflash_tcmu_drive program
#   GUEST_E2E_DRIVER       the UI driver (uidriver.exe)
#   GUEST_COMBOFLASH       ComboFlash.exe under test
#   GUEST_COMBOFLASH_CLI   comboflash, the Linux tool (its tests only)
#   GUEST_CASE_TIMEOUT     seconds one case may take
#   GUEST_PART             the part's name (tests/guest/session.sh)
#   GUEST_DRIVE_UNIT       the part's own emulated drive (tests/guest/session.sh)
set -uo pipefail

GUEST_TESTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SOURCE_ROOT=$(cd "$GUEST_TESTS/../.." && pwd)
export GUEST_TESTS SOURCE_ROOT
# On the root disk, beside the template prefix, so prefix copies can share
# its files; a folder for each part, and what the parts share beside them.
GUEST_SHARED=/var/tmp/guest-tests
GUEST_WORK=$GUEST_SHARED/${GUEST_PART:-work}
export GUEST_SHARED GUEST_WORK
TCMU_DRIVE=$SOURCE_ROOT/testing/tcmu/tcmu-drive
export COMBOFLASH_TCMU_DRIVE=${GUEST_TCMU_DRIVE:-}
# Parts that run side by side each have a drive of their own.
export COMBOFLASH_TCMU_UNIT=${GUEST_DRIVE_UNIT:-0}
mkdir -p "$GUEST_WORK"

_guest_failed=()
_guest_passed=()

# run_case NAME COMMAND...: one case, ended after GUEST_CASE_TIMEOUT seconds.
run_case() {
  local name=$1 started=$SECONDS code=0
  shift
  echo "=== $name"
  timeout --kill-after=10 "${GUEST_CASE_TIMEOUT:-600}" "$@" || code=$?
  if [ "$code" -eq 0 ]; then
    _guest_passed+=("$name")
    echo "--- passed: $name ($((SECONDS - started)) s)"
  else
    _guest_failed+=("$name")
    echo "--- FAILED: $name (exit code $code, $((SECONDS - started)) s)"
  fi
}

# drive_leftovers: after a case that failed half-way, ends its drive's server
# and shows what the drive received, apart from the kernel's media polls.
drive_leftovers() {
  local dir
  dir=$("$TCMU_DRIVE" serving)
  [ -n "$dir" ] || return 0
  "$TCMU_DRIVE" stop "$dir" && grep -v '^command: 4a ' "$dir/report"
}

# finish: the part's verdict.
finish() {
  echo "passed: ${#_guest_passed[@]}, failed: ${#_guest_failed[@]}${_guest_failed[*]:+ (${_guest_failed[*]})}"
  [ ${#_guest_failed[@]} -eq 0 ]
}

# passthrough_template: the Wine prefix the pass-through cases copy, made
# once per boot for every part that needs it (tests/e2e/comboflash/make_template.sh):
# ComboFlash.exe told it runs on Windows 10 and E: a CD-ROM drive, written
# by one start of Wine: without hardware virtualisation each start takes the
# better part of a minute.
passthrough_template() {
  PASSTHROUGH_TEMPLATE=$GUEST_SHARED/passthrough-template
  bash "$SOURCE_ROOT/tests/e2e/comboflash/make_template.sh" passthrough /opt/wine-prefix "$PASSTHROUGH_TEMPLATE"
}

# e2e_env NAME: the end-to-end harness's variables for a case called NAME.
e2e_env() {
  export E2E_DRIVER=$GUEST_E2E_DRIVER
  export E2E_WINE_RUN=$SOURCE_ROOT/tools/wine-run
  export E2E_WINE_ENV=$SOURCE_ROOT/testing/ui/wine-e2e-env
  export E2E_TEMPLATE_PREFIX=${PASSTHROUGH_TEMPLATE:-/opt/wine-prefix}
  export E2E_WORK=$GUEST_WORK/$1
  export E2E_TIMEOUT=$((${GUEST_CASE_TIMEOUT:-600} - 20))
  export E2E_PROGRAM_ComboFlash=$GUEST_COMBOFLASH
  # Everything is slower without hardware virtualisation.
  export E2E_WAIT_MS=180000 E2E_EXIT_MS=60000
}

# --- the guest kernel's record of what its SCSI midlayer dispatched --------

export TRACING=/sys/kernel/tracing
# trace_start DEVICE: records from now on what the midlayer dispatches to
# DEVICE's SCSI host, in a trace buffer of the part's own (parts that run
# side by side trace their own drives).
trace_start() {
  local host
  host=$(basename "$(readlink -f "/sys/class/block/${1##*/}/device")") || return 1
  TRACE=$TRACING/instances/${GUEST_PART:-work}
  mkdir -p "$TRACE" || return 1
  echo 0 >"$TRACE/tracing_on"
  echo >"$TRACE/trace"
  echo "host_no == ${host%%:*}" >"$TRACE/events/scsi/scsi_dispatch_cmd_start/filter"
  echo 1 >"$TRACE/events/scsi/scsi_dispatch_cmd_start/enable"
  echo 1 >"$TRACE/tracing_on"
}

# trace_cdbs OPCODE: every command block with that opcode (two hex digits)
# dispatched since trace_start, one a line, as "fd 07 5a ...".
trace_cdbs() {
  grep -o "raw=$1[0-9a-f ]*" "$TRACE/trace" | sed 's/^raw=//; s/ *$//'
}
