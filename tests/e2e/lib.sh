# End-to-end harness: a test script sources this file, starts a Windows
# program under Wine and works it through the UI driver (testing/ui), as a
# user would. Each test runs alone: its own copy of the Wine prefix, its own
# virtual display, its own driver; all of it ends with the test.
#
# comboflash_add_e2e_test (tests/e2e/CMakeLists.txt) sets:
#   E2E_DRIVER, E2E_WINE_RUN, E2E_WINE_ENV, E2E_TEMPLATE_PREFIX
#   E2E_WORK               a folder of the test's own, emptied at the start
#   E2E_TIMEOUT            seconds the whole test may take
#   E2E_PROGRAM_<target>   the built file of each program the test was given
#
# Texts come back from the driver as they are on screen: write a CR LF pair
# as $'\r\n'. Failures name the check, what was expected and what was found,
# and list the windows on screen.

set -eEuo pipefail

# Bounds of waits for an event, which return as soon as it comes: a box at
# the end of a whole flash may take this long on a machine busy with builds.
E2E_WAIT_MS=${E2E_WAIT_MS:-60000}   # for a window or a box to appear
E2E_EXIT_MS=${E2E_EXIT_MS:-30000}   # for a program to end

# --- reporting -------------------------------------------------------------

_e2e_where() {
  local i
  for ((i = 1; i < ${#BASH_SOURCE[@]}; i++)); do
    [ "${BASH_SOURCE[$i]}" != "${BASH_SOURCE[0]}" ] && { echo "${BASH_SOURCE[$i]##*/}:${BASH_LINENO[$((i - 1))]}"; return; }
  done
  echo "?"
}

# fail MESSAGE: ends the test, naming the line of the test script that failed.
fail() {
  trap - ERR
  echo "FAIL at $(_e2e_where): $*"
  if [ -n "${_E2E_DRIVER_PID:-}" ] && [ -z "${_E2E_FAILING:-}" ]; then
    _E2E_FAILING=1
    _E2E_READ_TIMEOUT=10
    echo "windows on screen:"
    _e2e_send windows >/dev/null 2>&1 && printf '  %s\n' "${DETAILS[@]}" || true
  fi
  exit 1
}

# A text as a failure message or the transcript shows it: quoted, with
# control characters in $'...' form.
_e2e_shown() {
  if [[ $1 == *[[:cntrl:]]* ]]; then printf '%q' "$1"; else printf '"%s"' "$1"; fi
}

# expect_eq ACTUAL EXPECTED WHAT
expect_eq() {
  [ "$1" = "$2" ] || fail "$3: expected $(_e2e_shown "$2"), got $(_e2e_shown "$1")"
}

trap 'fail "command failed: $BASH_COMMAND"' ERR

# --- the test's own display, prefix and clean-up ---------------------------

for _e2e_var in E2E_DRIVER E2E_WINE_RUN E2E_WINE_ENV E2E_TEMPLATE_PREFIX E2E_WORK E2E_TIMEOUT; do
  [ -n "${!_e2e_var:-}" ] || { echo "FAIL: $_e2e_var is not set; run the test through ctest"; exit 1; }
done

# _e2e_poll TENTHS COMMAND...: waits while COMMAND succeeds, looking every
# tenth of a second; fails when it still does after TENTHS looks.
_e2e_poll() {
  local tries=$1
  shift
  while "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

_e2e_cleanup() {
  local status=$?
  trap - ERR
  [ -n "${_E2E_WATCHDOG:-}" ] && kill "$_E2E_WATCHDOG" 2>/dev/null
  if [ -n "${_E2E_DRIVER_PID:-}" ]; then
    # The driver ends the programs it started; whatever is left, stop ends.
    echo quit >&7 2>/dev/null || true
    exec 7>&- 8<&-
    _e2e_poll 50 kill -0 "$_E2E_DRIVER_PID" 2>/dev/null ||
      echo "note: the UI driver had not ended 5 s after quit; stopping the prefix ends it"
  fi
  "$E2E_WINE_ENV" --prefix "$WINEPREFIX" stop || true
  [ -n "${_E2E_XVFB:-}" ] && kill "$_E2E_XVFB" 2>/dev/null
  if [ "$status" -eq 0 ]; then
    rm -rf "$WINEPREFIX"
    echo "PASS"
  fi
  return "$status"
}

_e2e_timed_out() {
  fail "the test did not end within $E2E_TIMEOUT s"
}

rm -rf "$E2E_WORK"
mkdir -p "$E2E_WORK"
trap _e2e_cleanup EXIT
trap _e2e_timed_out USR1
# The watchdog keeps no output stream open, so that it never holds up ctest.
(
  trap 'kill $sleeper 2>/dev/null; exit 0' TERM
  sleep "$E2E_TIMEOUT" &
  sleeper=$!
  wait "$sleeper" && kill -USR1 $$
) >/dev/null 2>&1 </dev/null &
_E2E_WATCHDOG=$!

# A display of its own: screen contents and the pointer belong to this test.
exec 6>"$E2E_WORK/display"
timeout $((E2E_TIMEOUT + 30)) Xvfb -displayfd 6 -screen 0 1024x768x24 -nolisten tcp >"$E2E_WORK/xvfb.log" 2>&1 &
_E2E_XVFB=$!
exec 6>&-
# Xvfb writes its display number once it takes connections; it may be slow
# to come up on a busy machine, but not slower than this.
_e2e_xvfb_pending() { [ ! -s "$E2E_WORK/display" ] && kill -0 "$_E2E_XVFB" 2>/dev/null; }
_e2e_poll 600 _e2e_xvfb_pending ||
  fail "Xvfb gave no display number within 60 s: $(cat "$E2E_WORK/xvfb.log")"
[ -s "$E2E_WORK/display" ] || fail "Xvfb ended without a display: $(cat "$E2E_WORK/xvfb.log")"
export DISPLAY=":$(head -n1 "$E2E_WORK/display")"

export WINEPREFIX="$E2E_WORK/prefix"
"$E2E_WINE_ENV" copy "$E2E_TEMPLATE_PREFIX" "$WINEPREFIX"

# --- setting up Wine (before the program starts) ----------------------------

# The settings are gathered and written with one import just before the
# first program starts; those the template prefix already has cost nothing.
_E2E_SETTINGS=$E2E_WORK/wine-settings
: >"$_E2E_SETTINGS"
_e2e_setting() { _e2e_before_start; "$E2E_WINE_ENV" setting "$@" >>"$_E2E_SETTINGS"; }

# windows_version EXE VERSION: win98 gives EXE platform id 1, win10 gives 2.
windows_version() { _e2e_setting version "$@"; }

# cdrom_drive LETTER DIR: LETTER: is a CD-ROM drive with DIR as its root.
cdrom_drive() {
  _e2e_setting cdrom "$1"
  "$E2E_WINE_ENV" --prefix "$WINEPREFIX" link "$1" "$2"
}

# dll_override EXE DLL native|builtin|disabled: which DLL of that name EXE loads.
dll_override() { _e2e_setting dll "$@"; }

_e2e_before_start() {
  [ -z "${_E2E_DRIVER_PID:-}" ] || fail "Wine settings must come before the first start_program"
}

# program NAME: the built file of a program the test was given.
program() {
  local var="E2E_PROGRAM_$1"
  [ -n "${!var:-}" ] || fail "no program $1 given to this test"
  echo "${!var}"
}

# windows_path PATH: the path as Windows programs in the prefix see it.
windows_path() {
  local path drive_c
  path=$(realpath -m "$1")
  drive_c=$(realpath -m "$WINEPREFIX/drive_c")
  case $path in
    "$drive_c"/*) path=${path#"$drive_c"}; printf 'C:%s' "${path//\//\\}" ;;
    *) printf 'Z:%s' "${path//\//\\}" ;;
  esac
}

# --- the driver --------------------------------------------------------------

_e2e_start_driver() {
  "$E2E_WINE_ENV" --prefix "$WINEPREFIX" apply "$_E2E_SETTINGS"
  mkfifo "$E2E_WORK/driver.in" "$E2E_WORK/driver.out"
  COMBOFLASH_WINE_TIMEOUT=$E2E_TIMEOUT "$E2E_WINE_RUN" --prefix "$WINEPREFIX" "$E2E_DRIVER" \
    <"$E2E_WORK/driver.in" >"$E2E_WORK/driver.out" 2>"$E2E_WORK/driver.err" &
  _E2E_DRIVER_PID=$!
  exec 7>"$E2E_WORK/driver.in" 8<"$E2E_WORK/driver.out"
}

# Sends one command; R is the answer's value, DETAILS its detail lines.
# Returns 1 when the driver answers with an error.
_e2e_send() {
  local line
  DETAILS=()
  R=
  echo "$*" >&7 || fail "the driver has ended: $(cat "$E2E_WORK/driver.err")"
  while IFS= read -r -t "${_E2E_READ_TIMEOUT:-$E2E_TIMEOUT}" line <&8; do
    case $line in
      "| "*) DETAILS+=("${line#| }") ;;
      ok) return 0 ;;
      "ok "*) printf -v R '%b' "${line#ok }"; return 0 ;;
      error*) printf -v R '%b' "${line#error}"; R=${R# }; return 1 ;;
      *) DETAILS+=("$line") ;;
    esac
  done
  fail "no answer from the driver to: $* $(cat "$E2E_WORK/driver.err")"
}

# driver COMMAND ARGS...: runs a driver command (see uidriver's "help");
# an error answer fails the test. The answer's value is in R.
driver() {
  [ -n "${_E2E_DRIVER_PID:-}" ] || _e2e_start_driver
  if ! _e2e_send "$@"; then
    local details=""
    [ ${#DETAILS[@]} -eq 0 ] || details=$(printf '\n  %s' "${DETAILS[@]}")
    fail "driver: $*: $R$details"
  fi
  echo "uidriver> $* -> $(_e2e_shown "$R")"
}

# --- the program under test --------------------------------------------------

# start_program [--in DIR] FILE [ARGS...]: starts FILE in DIR (default: the
# test's folder); PROGRAM_PID is its process id.
start_program() {
  local dir=$E2E_WORK
  if [ "$1" = --in ]; then dir=$2; shift 2; fi
  local file=$1
  shift
  driver cd "$(windows_path "$dir")"
  driver start "\"$(windows_path "$file")\"${*:+ $*}"
  PROGRAM_PID=$R
}

# expect_exit CODE: the program ends with exit code CODE.
expect_exit() {
  driver wait-exit "$PROGRAM_PID" "${2:-$E2E_EXIT_MS}"
  expect_eq "$R" "$1" "exit code of the program"
}

# wait_window VAR CAPTION: waits for the window and puts its handle in VAR.
wait_window() {
  driver wait-window "$E2E_WAIT_MS" "$2"
  printf -v "$1" '%s' "$R"
}

# --- checks of controls ------------------------------------------------------

# In the checks below, ID "-" stands for the window itself.
_e2e_read() {
  if [ "$3" = - ]; then driver "$1" "$2"; else driver "$1" "$2" "$3"; fi
}

# expect_text HWND ID TEXT
expect_text() { _e2e_read text "$1" "$2"; expect_eq "$R" "$3" "text of control $2"; }
# expect_enabled HWND ID 1|0, expect_visible HWND ID 1|0
expect_enabled() { _e2e_read enabled "$1" "$2"; expect_eq "$R" "$3" "enabled state of control $2"; }
expect_visible() { _e2e_read visible "$1" "$2"; expect_eq "$R" "$3" "visibility of control $2"; }

# expect_list HWND ID ROW_TEXT...: the list view holds exactly these rows.
expect_list() {
  local window=$1 id=$2 row=0
  shift 2
  driver list-count "$window" "$id"
  expect_eq "$R" "$#" "number of rows in list $id"
  for text in "$@"; do
    driver list-text "$window" "$id" "$row"
    expect_eq "$R" "$text" "row $row of list $id"
    row=$((row + 1))
  done
}

expect_mark() { driver list-mark "$1" "$2"; expect_eq "$R" "$3" "selection mark of list $2"; }

# expect_progress HWND ID POSITION [LOW HIGH]
expect_progress() {
  driver progress-pos "$1" "$2"
  expect_eq "$R" "$3" "position of progress bar $2"
  if [ $# -ge 5 ]; then
    driver progress-range "$1" "$2"
    expect_eq "$R" "$4 $5" "range of progress bar $2"
  fi
}

# --- message boxes -----------------------------------------------------------

# wait_box VAR OWNER: waits for a message box owned by OWNER (0: no owner).
wait_box() {
  driver wait-box "$2" "$E2E_WAIT_MS"
  printf -v "$1" '%s' "$R"
}

# expect_box_shows BOX CAPTION TEXT ICON   (ICON: information, stop or none)
expect_box_shows() {
  driver box-caption "$1"
  expect_eq "$R" "$2" "caption of the message box"
  driver box-text "$1"
  expect_eq "$R" "$3" "text of the message box"
  driver box-icon "$1"
  expect_eq "$R" "$4" "icon of the message box"
  driver box-buttons "$1"
  expect_eq "$R" 1 "buttons of the message box (ids)"
}

# expect_box OWNER CAPTION TEXT ICON: the next message box owned by OWNER
# shows this, with one OK button; it is then closed with OK.
expect_box() {
  local box
  wait_box box "$1"
  expect_box_shows "$box" "$2" "$3" "$4"
  driver close-box "$box"
}

# expect_no_box OWNER [MS]: no message box owned by OWNER shows up meanwhile.
expect_no_box() { driver no-box "$1" "${2:-1000}"; }
