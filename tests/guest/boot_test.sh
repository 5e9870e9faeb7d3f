#!/usr/bin/env bash
# The guest itself: its kernel has what the other tests rely on (the SCSI
# target with TCMU and the loopback fabric, the midlayer's trace event), the
# shared build tree is reachable at its own path, and an exit code comes back.
source "$(dirname "$0")/guest-lib.sh"

check_kernel() {
  modprobe -a target_core_user tcm_loop sr_mod sg || return 1
  [ -d /sys/kernel/config/target/core ] || { echo "no SCSI target in configfs"; return 1; }
  # The fabric's folder appears when asked for, if the fabric is there.
  mkdir -p /sys/kernel/config/target/loopback || { echo "no loopback fabric"; return 1; }
  [ -e "$TRACING/events/scsi/scsi_dispatch_cmd_start/enable" ] || { echo "no SCSI trace event"; return 1; }
  [ -x "$GUEST_TCMU_DRIVE" ] || { echo "the build tree is not shared: $GUEST_TCMU_DRIVE"; return 1; }
  uname -r
}

check_exit_code() {
  # The host checks the boot's exit code; here a case's code reaches run_case.
  local code=0
  bash -c 'exit 3' || code=$?
  [ "$code" -eq 3 ]
}

check_wine() {
  [ -f /opt/wine-prefix/system.reg ] || { echo "no Wine prefix"; return 1; }
  WINEPREFIX=$GUEST_WORK/wine timeout 120 "$SOURCE_ROOT/testing/ui/wine-e2e-env" copy /opt/wine-prefix "$GUEST_WORK/wine" &&
    WINEPREFIX=$GUEST_WORK/wine WINEDEBUG=-all timeout 120 /usr/lib/wine/wine64 cmd /c echo hello from wine | tr -d '\r' |
    grep -qx 'hello from wine'
}

# Each check runs in a shell of its own under the case's time-out.
export -f check_kernel check_exit_code check_wine
run_case "kernel" bash -c check_kernel
run_case "exit code" bash -c check_exit_code
run_case "wine" bash -c check_wine
finish
