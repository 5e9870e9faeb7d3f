#!/usr/bin/env bash
# The 32-bit Windows build's tests under 32-bit Wine, which needs a kernel
# that runs 32-bit programs: the guest's does, the host's may not. CTest runs
# the chosen tests from the host's windows-x86 build tree, as it would there.
#   windows_x86_test.sh BUILD_TREE TEST_REGEX
source "$(dirname "$0")/guest-lib.sh"
build=$1 tests=$2
[ -f "$build/CTestTestfile.cmake" ] || { echo "no windows-x86 build tree at $build"; exit 1; }

# The tests run from a copy of the build tree on the guest's own disk, put
# where the tree is: 32-bit Wine reads zeros from a large program mapped over
# the shared folder. The copy leaves out what only building needs. Its
# prefix is a copy of the guest's, which has its 32-bit half, and what Wine
# and the tests write stays on the guest's disk.
# The first such part of the boot puts the copy in place; a later one finds it there.
if ! mountpoint -q "$build"; then
  local_build=$GUEST_WORK/windows-x86
  mkdir -p "$local_build"
  tar -C "$build" --exclude=./wine-prefix --exclude='./wine-template-*' --exclude=./tests/e2e/runs --exclude=./googletest --exclude=CMakeFiles \
    --exclude='*.obj' --exclude='*.a' -cf - . | tar -C "$local_build" -xf - || exit 1
  "$SOURCE_ROOT/testing/ui/wine-e2e-env" copy /opt/wine-prefix "$local_build/wine-prefix" || exit 1
  mkdir -p "$local_build/tests/e2e/runs"
  mount --bind "$local_build" "$build" || exit 1
fi
df -h / | tail -n 1

# Everything is slower without hardware virtualisation.
export E2E_WAIT_MS=180000 E2E_EXIT_MS=60000
# One job per processor, as on a host: each end-to-end test has a prefix and
# a display of its own, and the unit tests take turns (cmake/WineTests.cmake).
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)" -R "$tests" 2>&1 |
  tee "$GUEST_WORK/ctest.log"
code=${PIPESTATUS[0]}
# Here every 32-bit test must really run: a skip would hide that it cannot.
if grep -q '\*\*\*Skipped\|Not Run' "$GUEST_WORK/ctest.log"; then
  echo "tests were skipped in the guest, which runs 32-bit programs"
  exit 1
fi
exit "$code"
