#!/usr/bin/env bash
# The guest's side of tests/guest/run_session.sh: runs each part of PLAN in
# turn, each with a bound, keeping its log and exit code in RESULTS (the
# host's folder, shared) for the part's own test.
#   session.sh RESULTS PLAN
set -uo pipefail
results=${1:?results folder} plan=${2:?plan}

# part NAME KIND BOUND COMMAND...: KIND windows-x86 runs only where the host
# cannot run the 32-bit Windows tests itself.
part() {
  local name=$1 kind=$2 bound=$3 started=$SECONDS code=0
  shift 3
  if [ "$kind" = windows-x86 ] && [ "${GUEST_WINDOWS_X86:-}" != run ]; then
    echo "${GUEST_WINDOWS_X86_REASON:-}" >"$results/$name.skipped"
    echo "=== $name: skipped"
    return 0
  fi
  echo "$bound" >"$results/$name.started"
  echo "=== $name"
  GUEST_PART=$name timeout --kill-after=10 "$bound" "$@" >"$results/$name.log" 2>&1 </dev/null || code=$?
  echo "$code" >"$results/$name.status"
  echo "--- $name: exit code $code ($((SECONDS - started)) s)"
}

source "$plan"
