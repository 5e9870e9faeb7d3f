#!/usr/bin/env bash
# Boots the test guest once and runs the parts of PLAN there
# (tests/guest/session.sh), leaving each part's log and verdict in RESULTS for
# the part's own test (part_verdict.sh). Watches the parts from here: a part
# that outlives its bound (a case that wedged the guest's kernel, which no
# time-out inside the guest can end) ends the boot, so that part and those
# after it fail by name instead of the run hanging.
#   run_session.sh RESULTS PLAN TIMEOUT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
results=${1:?results folder} plan=${2:?plan} timeout_s=${3:?seconds}
# Beyond its bound, a part's own time-out in the guest has had this long to act.
grace=60

rm -rf "$results"
mkdir -p "$results"

# The 32-bit Windows tests run here or in the guest, never both.
"$root/tools/wine32-check" --where || exit 1
windows_x86=run
reason=$("$root/tools/wine32-check" --in-guest true 2>&1) || {
  code=$?
  [ "$code" -eq 77 ] || { echo "$reason"; exit 1; }
  windows_x86=skip
}

# Memory for the parts that run side by side, each with its Wine and display.
"$root/tools/guest/run" --scsi-cd --memory 3072 --timeout "$timeout_s" -- \
  env GUEST_WINDOWS_X86="$windows_x86" GUEST_WINDOWS_X86_REASON="$reason" \
  bash "$here/session.sh" "$results" "$plan" &
guest=$!

# stuck_part: the part that has run longer than its bound and the grace, if any.
stuck_part() {
  local started name bound
  for started in "$results"/*.started; do
    [ -e "$started" ] || continue
    name=$(basename "$started" .started)
    [ -e "$results/$name.status" ] && continue
    read -r bound <"$started"
    # The file's time is this machine's: the guest writes it through the share.
    if [ $(($(date +%s) - $(stat -c %Y "$started"))) -gt $((bound + grace)) ]; then
      echo "$name $bound"
      return 0
    fi
  done
  return 1
}

while kill -0 "$guest" 2>/dev/null; do
  if stuck=$(stuck_part); then
    read -r name bound <<<"$stuck"
    echo "guest_session: part $name has not ended within its $bound s and $grace s more;" \
         "the guest no longer acts on its time-outs: ending the boot"
    kill -TERM "$guest"
    break
  fi
  sleep 2
done
wait "$guest"
code=$?

# The boot's account: each part's verdict is its own test's.
ran=0
while read -r line; do
  name=$(eval "set -- $line" && echo "$2")
  if [ -e "$results/$name.skipped" ]; then
    echo "$name: skipped"
  elif [ -e "$results/$name.status" ]; then
    ran=1
    echo "$name: exit code $(cat "$results/$name.status")"
  elif [ -e "$results/$name.started" ]; then
    ran=1
    echo "$name: did not end"
  else
    echo "$name: not reached"
  fi
done < <(grep '^ *'"'"'part'"'" "$plan")
echo "guest_session: the guest ended with exit code $code"
[ "$ran" -eq 1 ]
