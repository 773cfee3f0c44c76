#!/usr/bin/env bash
# VantrelZURaduHelper.exe end to end in the Wine prefix: a real installation folder with a
# stand-in launcher and Java runtime, the identifier list in the user's data folder, and a
# driver that plays phones being plugged in to the helper's hidden window.
#   helper_exe_test.sh SCENARIO HELPER_EXE FAKE_PROGRAM SHELL_WINDOW SUITE_WINDOW DEVICE_DRIVER
source "$(dirname "$0")/../../../tests/wine/lib.sh"
scenario=$1 helper_exe=$2 fake=$3 shell=$4 suite_window=$5 driver=$6
make_scratch
# shellcheck disable=SC1091
source "$NORVEX_WINE_STATE/env"

inst=$SCRATCH/inst
mkdir -p "$inst/jre/bin" "$SCRATCH/other/jre/bin"
cp "$helper_exe" "$inst/VantrelZURaduHelper.exe"
cp "$fake" "$inst/VantrelZURadu.exe"
cp "$driver" "$SCRATCH/driver.exe"
cp "$shell" "$SCRATCH/shell.exe"
launches=$inst/VantrelZURadu.exe.calls
title=norvextool_helper
phone='\\?\USB#VID_1A2B&PID_3C4D#0123456789#{a5dcbf10-6530-11d2-901f-00c04fb951ed}'

local_app_data=$(wine_local_app_data)
[ -n "$local_app_data" ] || fail "no Local AppData in the prefix"
data_dir="$WINEPREFIX/drive_c/${local_app_data#C:\\}"
data_dir="${data_dir//\\//}/VantrelTool"
rm -rf "$data_dir"
mkdir -p "$data_dir"

SHELL_PID= HELPER_PID=
declare -A SUITE_PID=()
start_shell() {
  wine_run "$SCRATCH/shell.exe" &
  SHELL_PID=$!
  wait_for 20 test -e "$SCRATCH/shell.exe.ready" || fail "the shell stand-in did not register"
}
start_helper() {
  wine_run "$inst/VantrelZURaduHelper.exe" &
  HELPER_PID=$!
  driver window 20000 >/dev/null || fail "the helper's window did not appear"
}
# Everything we started must be gone before the script ends: a helper left running would hold
# the session's mutex for the next test, a shell window would serve it.
clean_up() {
  touch "$SCRATCH/shell.exe.stop"
  rm -f "$SCRATCH"/*.stay "$inst"/*.stay "$inst"/jre/bin/*.stay "$SCRATCH"/other/jre/bin/*.stay
  if [ -n "$HELPER_PID" ] && kill -0 "$HELPER_PID" 2>/dev/null; then
    wine_run "$SCRATCH/driver.exe" close "$title" 5000 >/dev/null 2>&1 || true
    wait_for 10 ended "$HELPER_PID" || kill "$HELPER_PID" 2>/dev/null || true
  fi
  [ -z "$SHELL_PID" ] || wait "$SHELL_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$SCRATCH" "$data_dir"
}
trap clean_up EXIT

driver() { wine_run "$SCRATCH/driver.exe" "$1" "$title" "${@:2}" | tr -d '\r'; }
arrive() { driver arrive "$1" 10000 >/dev/null || fail "could not send the arrival of $1"; }
field() { sed -n "s/^$1=//p" <<<"$2"; }
expect_eq() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }
calls_count() { [ -f "$1" ] && wc -l <"$1" || echo 0; }
# A started program writes its line a moment after the helper has handled the message.
expect_no_launch() { sleep 2; expect_eq "$1: launches" "$(calls_count "$launches")" 0; }

start_suite_window() {  # start_suite_window EXE minimized|hidden: a stand-in runtime with a window
  cp "$suite_window" "$1"
  rm -f "$1.ready"  # left by an earlier start of the same runtime: it would not wait for this one
  touch "$1.stay"
  wine_run "$1" "$(basename "$(dirname "$(dirname "$(dirname "$1")")")") suite" "$2" &
  SUITE_PID[$1]=$!
  wait_for 20 test -e "$1.ready" || fail "$1 did not open its window"
}
stop_suite_window() { rm -f "$1.stay"; wait "${SUITE_PID[$1]}" 2>/dev/null || true; }
suite_state() { wine_run "$SCRATCH/driver.exe" window "$1 suite" 5000 | tr -d '\r'; }

printf '0BB4:0C02\r\n1a2b:3c4d\r\n' >"$data_dir/pvids"

case "$scenario" in
single-instance)
  start_helper
  out=$(driver window 5000)
  expect_eq "window shown" "$(field visible "$out")" 0
  expect_eq "tool window" "$(field toolwindow "$out")" 1
  expect_eq "taskbar window" "$(field appwindow "$out")" 0
  first_pid=$(field pid "$out")
  wine_run "$inst/VantrelZURaduHelper.exe" &
  second=$!
  wait_for 15 ended "$second" || fail "the second helper keeps running"
  kill -0 "$HELPER_PID" 2>/dev/null || fail "the first helper ended"
  out=$(driver window 5000)
  expect_eq "helper windows" "$(field count "$out")" 1
  expect_eq "the window's process" "$(field pid "$out")" "$first_pid"
  # The second one showed nothing either: no message box of ours anywhere.
  expect_eq "message boxes" "$(wine_run "$SCRATCH/driver.exe" window VantrelZURaduHelper 500 | tr -d '\r')" "window=none"
  driver close 5000 >/dev/null
  wait_for 10 ended "$HELPER_PID" || fail "closing the window did not end the helper"
  HELPER_PID=

  # Started together: exactly one keeps watching. (Wine starts them one after the other, so
  # this does not reproduce two helpers missing each other's mutex; the code handles that too.)
  together=()
  for _ in 1 2 3 4; do wine_run "$inst/VantrelZURaduHelper.exe" & together+=($!); done
  driver window 20000 >/dev/null || fail "none of the helpers started together kept running"
  alive() { local n=0 p; for p in "${together[@]}"; do kill -0 "$p" 2>/dev/null && n=$((n + 1)); done; echo "$n"; }
  one_alive() { [ "$(alive)" -eq 1 ]; }
  wait_for 15 one_alive || fail "$(alive) of the helpers started together keep running"
  for p in "${together[@]}"; do kill -0 "$p" 2>/dev/null && HELPER_PID=$p; done
  expect_eq "helper windows" "$(field count "$(driver window 5000)")" 1
  ;;
arrivals)
  start_helper
  arrive "$phone"  # no desktop shell: the elevated path has no token to borrow and starts nothing
  expect_no_launch "without a shell"
  start_shell
  arrive '\\?\USB#VID_1A2B&PID_FFFF#0123456789#{a5dcbf10-6530-11d2-901f-00c04fb951ed}'
  driver remove "$phone" 10000 >/dev/null || fail "could not send the removal"
  driver volume "$phone" 10000 >/dev/null || fail "could not send the volume arrival"
  touch "$data_dir/nohelp"
  arrive "$phone"
  expect_no_launch "unlisted phone, removal, volume, \"nohelp\""
  rm "$data_dir/nohelp"
  out=$(driver arrive "${phone,,}" 10000)  # lower case against the list's mixed case
  expect_eq "answer" "$(field answer "$out")" 0
  wait_for 10 test -s "$launches" || fail "a listed phone did not start the launcher"
  sleep 1
  expect_eq "launches" "$(calls_count "$launches")" 1
  # With no command line the program's path stands in for it (Wine quotes it).
  expect_eq "launch" "$(cut -d'|' -f1,2 "$launches" | tr -d '"')" "$(winpath "$inst/VantrelZURadu.exe")|$(winpath "$inst")"
  # The list is read afresh: a pair added now counts at once.
  printf '5E6F:7A8B\r\n' >>"$data_dir/pvids"
  arrive '\\?\HID#VID_5E6F&PID_7A8B&MI_00#7&1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}'
  two_launches() { [ "$(calls_count "$launches")" -eq 2 ]; }
  wait_for 10 two_launches || fail "a pair added to the list did not count"
  ;;
running-suite)
  start_shell
  start_helper
  runtime=$inst/jre/bin/javaw.exe other=$SCRATCH/other/jre/bin/javaw.exe
  start_suite_window "$runtime" minimized
  expect_eq "minimised before" "$(field iconic "$(suite_state inst)")" 1
  arrive "$phone"
  out=$(suite_state inst)
  expect_eq "iconic after the arrival" "$(field iconic "$out")" 0
  expect_eq "foreground after the arrival" "$(field foreground "$out")" 1
  expect_no_launch "suite running"
  stop_suite_window "$runtime"

  start_suite_window "$runtime" hidden
  arrive "$phone"
  expect_eq "hidden suite shown" "$(field visible "$(suite_state inst)")" 0
  expect_no_launch "suite running without a window"
  stop_suite_window "$runtime"

  start_suite_window "$other" minimized
  arrive "$phone"
  wait_for 10 test -s "$launches" || fail "a runtime of another folder counted as the suite"
  expect_eq "other runtime's window" "$(field iconic "$(suite_state other)")" 1
  ;;
*) fail "unknown scenario $scenario" ;;
esac
echo "VantrelZURaduHelper.exe $scenario: 1 passed, 0 failed"
