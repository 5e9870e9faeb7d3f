#!/usr/bin/env bash
# A failing check names its line, what was expected and what was found, and
# the failed test leaves no process of its Wine prefix behind.
set -uo pipefail

inner_work=$E2E_WORK/failing
mkdir -p "$E2E_WORK"
output=$(E2E_WORK=$inner_work bash "$(dirname "$0")/failing_check.sh" 2>&1)
status=$?
echo "$output" | sed 's/^/  | /'

problems=()
[ "$status" -eq 1 ] || problems+=("exit status $status, not 1")
grep -qF 'FAIL at failing_check.sh:9: text of control 1000: expected "Busy", got "Ready"' <<<"$output" ||
  problems+=("no report naming line 9, the expected and the found text")
grep -q 'class=#32770 .* text=UI Driver Target' <<<"$output" ||
  problems+=("the windows on screen are not listed")
[ -d "$inner_work/prefix" ] || problems+=("the prefix of the failed test was not kept for a look")
for environment in /proc/[0-9]*/environ; do
  if tr "\0" "\n" 2>/dev/null <"$environment" | grep -qxF "WINEPREFIX=$inner_work/prefix"; then
    pid=${environment#/proc/}
    problems+=("process ${pid%/environ} of the failed test still runs: $(tr '\0' ' ' <"/proc/${pid%/environ}/cmdline")")
  fi
done

if [ ${#problems[@]} -gt 0 ]; then
  printf 'FAIL: %s\n' "${problems[@]}"
  exit 1
fi
rm -rf "$inner_work"
echo PASS
