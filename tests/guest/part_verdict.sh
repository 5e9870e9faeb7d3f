#!/usr/bin/env bash
# One part of the guest's boot (tests/guest/run_session.sh): its log and its
# verdict, or why it has none.
#   part_verdict.sh RESULTS NAME
set -uo pipefail
results=${1:?results folder} name=${2:?part}
at=$results/$name

if [ -f "$at.skipped" ]; then
  echo "SKIPPED: $(sed "s/^SKIPPED: //" "$at.skipped")"
  exit 77
fi
if [ ! -f "$at.started" ]; then
  echo "FAILED: the guest never reached this part: it did not boot, or a part before this one stopped it (see guest_session)"
  exit 1
fi
cat "$at.log" 2>/dev/null
if [ ! -f "$at.status" ]; then
  echo "FAILED: the guest stopped while running this part: the case above, or one of a part beside it, did not end, and the boot was ended (guest_session names the part)"
  exit 1
fi
code=$(cat "$at.status")
[ "$code" -ne 124 ] || echo "FAILED: the part did not end within its $(cat "$at.started") s"
[ "$code" -eq 0 ]
