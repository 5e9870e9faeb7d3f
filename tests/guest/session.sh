#!/usr/bin/env bash
# The guest's side of tests/guest/run_session.sh: runs the parts of PLAN,
# each with a bound, keeping its log and exit code in RESULTS (the host's
# folder, shared) for the part's own test. The parts of one lane run one
# after another, in the plan's order; the lanes run side by side, so that
# parts that need nothing of each other keep both of the guest's processors
# busy. Each part has an emulated drive of its own (GUEST_DRIVE_UNIT).
#   session.sh RESULTS PLAN
set -uo pipefail
results=${1:?results folder} plan=${2:?plan}

# part NAME KIND LANE BOUND COMMAND...: the plan's lines, gathered before any runs.
parts=()
part() {
  local line
  printf -v line '%q ' "$@"
  parts+=("$line")
}

# run_part UNIT NAME KIND LANE BOUND COMMAND...: KIND windows-x86 runs only
# where the host cannot run the 32-bit Windows tests itself.
run_part() {
  local unit=$1 name=$2 kind=$3 bound=$5 started=$SECONDS code=0
  shift 5
  if [ "$kind" = windows-x86 ] && [ "${GUEST_WINDOWS_X86:-}" != run ]; then
    echo "${GUEST_WINDOWS_X86_REASON:-}" >"$results/$name.skipped"
    echo "=== $name: skipped"
    return 0
  fi
  echo "$bound" >"$results/$name.started"
  echo "=== $name"
  GUEST_PART=$name GUEST_DRIVE_UNIT=$unit timeout --kill-after=10 "$bound" "$@" >"$results/$name.log" 2>&1 </dev/null ||
    code=$?
  echo "$code" >"$results/$name.status"
  echo "--- $name: exit code $code ($((SECONDS - started)) s)"
}

source "$plan"

lanes=()
for line in "${parts[@]}"; do
  lane=$(eval "set -- $line" && echo "$3")
  [[ " ${lanes[*]} " == *" $lane "* ]] || lanes+=("$lane")
done
lane_pids=()
for lane in "${lanes[@]}"; do
  (
    for unit in "${!parts[@]}"; do
      eval "set -- ${parts[$unit]}"
      [ "$3" = "$lane" ] && run_part "$unit" "$@"
    done
  ) &
  lane_pids+=($!)
done
# Each part is bounded by its own time-out: the lanes end.
for pid in "${lane_pids[@]}"; do wait "$pid"; done
