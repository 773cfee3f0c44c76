#!/usr/bin/env bash
# update.exe end to end in the Wine prefix: a real installation folder with stand-ins for the
# Java runtime and the helper, real packages and archives, information files made with
# upgrade-tool, and a driver that answers the message boxes.
#   update_exe_test.sh SCENARIO UPDATE_EXE UPGRADE_TOOL FAKE_PROGRAM SHELL_WINDOW DIALOG_DRIVER HELPER_EXE DEVICE_DRIVER
source "$(dirname "$0")/../../../tests/wine/lib.sh"
scenario=$1 update_exe=$2 upgrade_tool=$3 fake=$4 shell=$5 driver=$6 real_helper=${7-} device_driver=${8-}
[ -x "$upgrade_tool" ] || fail "no native upgrade-tool at $upgrade_tool: build the native preset first"
make_scratch
# shellcheck disable=SC1091
source "$NORVEX_WINE_STATE/env"

inst=$SCRATCH/inst pkg=$SCRATCH/pkg
mkdir -p "$inst/jre/bin" "$pkg"
cp "$fake" "$inst/jre/bin/javaw.exe"
cp "$fake" "$inst/VantrelZURaduHelper.exe"
cp "$update_exe" "$inst/update.exe"
cp "$driver" "$SCRATCH/driver.exe"
cp "$shell" "$SCRATCH/shell.exe"
host_calls=$inst/jre/bin/javaw.exe.calls helper_calls=$inst/VantrelZURaduHelper.exe.calls

# The user's upgrade folder, where the host leaves its downloads.
local_app_data=$(wine_local_app_data)
upgrade_dir="$WINEPREFIX/drive_c/${local_app_data#C:\\}"
upgrade_dir="${upgrade_dir//\\//}/NorvexTool/upgrade"
mkdir -p "$upgrade_dir"
echo download >"$upgrade_dir/leftover.bin"

SHELL_PID=
start_shell() {
  wine_run "$SCRATCH/shell.exe" &
  SHELL_PID=$!
  wait_for 20 test -e "$SCRATCH/shell.exe.ready" || fail "the shell stand-in did not register"
}
# Everything we started must be gone before the script ends: a stand-in still running would
# keep the test's output open, and the shell window would serve the next test.
clean_up() {
  [ -z "${REAL_HELPER_DATA-}" ] || close_real_helper
  touch "$SCRATCH/shell.exe.stop"
  rm -f "$inst"/*.stay
  [ -z "$SHELL_PID" ] || wait "$SHELL_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$SCRATCH"
}
trap clean_up EXIT

start_helper() {  # a running helper of this installation, to be ended by the updater
  touch "$inst/VantrelZURaduHelper.exe.stay"
  wine_run "$inst/VantrelZURaduHelper.exe" &
  HELPER_PID=$!
  wait_for 20 test -s "$helper_calls" || fail "the helper stand-in did not start"
  rm -f "$helper_calls"  # it keeps running until the updater ends it
}

pack() {  # pack JSON-ENTRIES [VERSION]: writes $SCRATCH/info.dat
  printf '{"displayVersion": "%s", "models": [%s]}' "${2-4.2.0}" "$1" >"$SCRATCH/desc.json"
  "$upgrade_tool" pack "$SCRATCH/desc.json" "$SCRATCH/info.dat" >/dev/null || fail "pack failed"
}
entry() {  # entry FILE_NAME CODE [PACKAGE [MD5]]
  local json
  json=$(printf '{"modelName": "%s", "fileName": "%s", "operationCode": %s, "size": 1' "$1" "${1//\\/\\\\}" "$2")
  if [ -n "${3-}" ]; then
    local win; win=$(winpath "$pkg/$3")
    json+=$(printf ', "path": "%s", "source": "%s"' "${win//\\/\\\\}" "$pkg/$3")
    [ -n "${4-}" ] && json+=$(printf ', "md5": "%s"' "$4")
  fi
  printf '%s}' "$json"
}

run_update() {  # run_update ARGS... (in the background; UPDATE_PID is the Unix process)
  wine_run "$inst/update.exe" "$@" &
  UPDATE_PID=$!
}
finish() { wait "$UPDATE_PID" || true; }
box() { wine_run "$SCRATCH/driver.exe" box update "$1" "${2:-20000}" | tr -d '\r'; }
field() { sed -n "s/^$1=//p" <<<"$2"; }
expect_eq() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }
expect_downloads_gone() {
  [ ! -e "$SCRATCH/info.dat" ] || fail "the information file is still there"
  [ ! -e "$upgrade_dir" ] || fail "the upgrade folder is still there"
}
info_arg() { winpath "$SCRATCH/info.dat"; }
host_line() { printf ' -Xms128m -Djava.library.path=.\\dlls\\ -jar "%s\\Host.jar"|%s' "$(winpath "$inst")" "$(winpath "$inst")"; }
calls_count() { [ -f "$1" ] && wc -l <"$1" || echo 0; }
host_started_after() { [ "$(calls_count "$host_calls")" -gt "$1" ]; }

declare -A damaged=(
  [zh_CN]='升级文件可能被损坏，需重新下载，是否要开启诺维宝程序？'
  [en_US]='The upgrade file may be damaged and need to be re-download.\r\n\r\ndo you want open the norvextool program?'
  [zh_TW]='升級文件可能被損壞，需重新下載，是否要開啟諾維寶程序？')

case "$scenario" in
success)
  echo "old a" >"$inst/a.dll"; echo gone >"$inst/gone.dll"; mkdir -p "$inst/plugins"; echo old >"$inst/plugins/old.txt"
  echo "new a" >"$pkg/a.dll"
  mkdir -p "$SCRATCH/zip/plugins/sub"; echo one >"$SCRATCH/zip/plugins/one.txt"; echo two >"$SCRATCH/zip/plugins/sub/two.txt"
  (cd "$SCRATCH/zip" && zip -qr "$pkg/plugins.zip" plugins)
  pack "$(entry a.dll 2 a.dll),$(entry gone.dll 0),$(entry plugins.zip 2 plugins.zip)" "5.6.7"
  start_shell
  start_helper
  run_update host zh_CN 0 "$(info_arg)"
  out=$(box none 4000 || true)
  expect_eq "message box" "$(field box "$out")" none
  finish
  wait_for 10 ended "$HELPER_PID" || fail "the running helper was not ended"
  wait_for 10 test -s "$host_calls" || fail "the host was not started"
  expect_eq "a.dll" "$(cat "$inst/a.dll")" "new a"
  [ ! -e "$inst/gone.dll" ] || fail "gone.dll was not removed"
  [ ! -e "$inst/plugins/old.txt" ] && [ "$(cat "$inst/plugins/sub/two.txt")" = two ] || fail "plugins not replaced"
  [ ! -e "$inst/nvt_update_temp_folder" ] || fail "the backup folder stays"
  expect_downloads_gone
  version=$(wine_run reg query 'HKCU\Software\Norvex\NorvexTool' /v ProductVersion | tr -d '\r' | sed -n 's/^ *ProductVersion *REG_SZ *//p')
  expect_eq ProductVersion "$version" 5.6.7
  expect_eq "host start" "$(cut -d'|' -f1,2 "$host_calls")" "$(host_line)"
  wait_for 10 test -s "$helper_calls" || fail "the helper was not started again"
  helper_pid=$(cut -d'|' -f4 "$helper_calls") host_pid=$(cut -d'|' -f4 "$host_calls")
  [ "$helper_pid" -lt "$host_pid" ] || fail "the helper ($helper_pid) must start before the host ($host_pid)"
  # With no command line the program's path stands in for it (Wine quotes it).
  expect_eq "helper start" "$(cut -d'|' -f1,2 "$helper_calls" | tr -d '"')" "$(winpath "$inst/VantrelZURaduHelper.exe")|$(winpath "$inst")"
  ;;
no-shell)
  echo "old a" >"$inst/a.dll"; echo "new a" >"$pkg/a.dll"
  pack "$(entry a.dll 2 a.dll)"
  run_update host en_US 0 "$(info_arg)"
  finish
  expect_eq "a.dll" "$(cat "$inst/a.dll")" "new a"
  sleep 1
  expect_eq "programs started without a shell" "$(calls_count "$host_calls")" 0
  expect_downloads_gone
  ;;
damaged)
  echo "new a" >"$pkg/a.dll"
  start_shell
  for language in zh_CN en_US zh_TW; do
    mkdir -p "$upgrade_dir"; echo x >"$upgrade_dir/leftover.bin"
    pack "$(entry a.dll 1 a.dll 00000000000000000000000000000000)"
    case $language in zh_CN) answer=cancel; start_helper ;; en_US) answer=ok ;; zh_TW) answer=cancel ;; esac
    before_host=$(calls_count "$host_calls")
    run_update host "$language" 0 "$(info_arg)"
    out=$(box "$answer")
    expect_eq "$language text" "$(field text "$out")" "${damaged[$language]}"
    expect_eq "$language buttons" "$(field buttons "$out")" "OK,Cancel"
    expect_eq "$language icon" "$(field icon "$out")" yes
    finish
    sleep 1
    [ ! -e "$inst/a.dll" ] || fail "$language: the installation changed"
    expect_downloads_gone
    if [ "$answer" = ok ]; then
      wait_for 10 host_started_after "$before_host" || fail "$language: OK did not start the host"
    else
      expect_eq "$language: hosts started after Cancel" "$(calls_count "$host_calls")" "$before_host"
    fi
    if [ "$language" = zh_CN ]; then
      wait_for 10 test -s "$helper_calls" || fail "the stopped helper was not started again"
      # Let the restarted helper end, or the next run would stop and restart it in turn.
      rm -f "$helper_calls" "$inst/VantrelZURaduHelper.exe.stay"
      sleep 1
    else
      expect_eq "$language: helper starts" "$(calls_count "$helper_calls")" 0
    fi
  done
  ;;
restore)
  echo "old a" >"$inst/a.dll"; echo "new a" >"$pkg/a.dll"; echo "new b" >"$pkg/b.dll"
  echo "not an archive" >"$pkg/broken.zip"
  pack "$(entry a.dll 2 a.dll),$(entry b.dll 1 b.dll),$(entry broken.zip 1 broken.zip)"
  start_shell
  run_update host en_US 0 "$(info_arg)"
  out=$(box ok)
  expect_eq "first box" "$(field text "$out")" "Upgrade fails, the system is restoring"
  expect_eq "first box buttons" "$(field buttons "$out")" "OK"
  expect_eq "status under the first box" "$(field owner_status "$out")" "Updating files, please wait ..."
  out=$(box ok)
  expect_eq "second box" "$(field text "$out")" "Been restored, do you want open the norvextool program?"
  expect_eq "second box buttons" "$(field buttons "$out")" "OK,Cancel"
  expect_eq "status under the second box" "$(field owner_status "$out")" "Upgrade fails, the system is restoring"
  expect_eq "bar under the second box" "$(field owner_position "$out")" 100
  finish
  expect_eq "a.dll restored" "$(cat "$inst/a.dll")" "old a"
  expect_eq "b.dll left" "$(cat "$inst/b.dll")" "new b"
  [ ! -e "$inst/nvt_update_temp_folder" ] || fail "the backup folder stays"
  expect_downloads_gone
  wait_for 10 test -s "$host_calls" || fail "OK did not start the host"
  ;;
no-close)
  head -c $((24 * 1024 * 1024)) /dev/urandom >"$pkg/big.bin"
  pack "$(entry big.bin 1 big.bin)"
  run_update host en_US 0 "$(info_arg)"
  out=$(wine_run "$SCRATCH/driver.exe" harass "NorvexTool update program" 20000 | tr -d '\r')
  echo "$out"
  for attempt in escape enter alt-f4 close-box wm-close; do
    expect_eq "$attempt" "$(field "$attempt" "$out")" open
  done
  finish
  cmp -s "$pkg/big.bin" "$inst/big.bin" || fail "the run did not complete after the attempts"
  ;;
self-update)
  { cat "$update_exe"; printf 'NEW-UPDATER'; } >"$pkg/update.exe"  # a runnable file that differs
  pack "$(entry update.exe 2 update.exe)"
  run_update host en_US 0 "$(info_arg)"
  finish
  wait_for 20 test ! -e "$inst/nvt_update_self_folder" || fail "the staging folder stays"
  cmp -s "$pkg/update.exe" "$inst/update.exe" || fail "the installed updater was not replaced"
  expect_downloads_gone
  ;;
command-line)
  echo keep >"$inst/keep.txt"
  run_update HOST zh_CN 0   # four entries: no information file
  out=$(box cancel)
  expect_eq "four entries" "$(field text "$out")" '抱歉，升级失败！\r\n\r\n是否要开启诺维宝程序？'
  finish
  pack "$(entry keep.txt 0)"
  run_update update zh_CN 0 "$(info_arg)"
  out=$(box none 3000 || true)
  expect_eq "unknown mode" "$(field box "$out")" none
  finish
  [ -e "$SCRATCH/info.dat" ] && [ -e "$inst/keep.txt" ] || fail "an unknown mode changed something"
  ;;
real-helper)
  # The real helper of the installation: ended by the updater and started again, still watching.
  cp "$real_helper" "$inst/VantrelZURaduHelper.exe"
  cp "$fake" "$inst/VantrelZURadu.exe"
  cp "$device_driver" "$SCRATCH/device.exe"
  REAL_HELPER_DATA="$WINEPREFIX/drive_c/${local_app_data#C:\\}"
  REAL_HELPER_DATA="${REAL_HELPER_DATA//\\//}/VantrelTool"
  mkdir -p "$REAL_HELPER_DATA"
  printf '1A2B:3C4D\r\n' >"$REAL_HELPER_DATA/pvids"
  helper_window() { wine_run "$SCRATCH/device.exe" window norvextool_helper "$1" | tr -d '\r'; }
  helper_runs() { helper_window 0 >/dev/null; }
  helper_gone() { ! helper_runs; }
  close_real_helper() {  # the restarted helper is no child of ours: close its window
    wine_run "$SCRATCH/device.exe" close norvextool_helper 1000 >/dev/null 2>&1 || true
    wait_for 10 helper_gone || echo "warning: the restarted helper did not close"
    rm -rf "$REAL_HELPER_DATA"
  }
  echo "old a" >"$inst/a.dll"; echo "new a" >"$pkg/a.dll"
  pack "$(entry a.dll 2 a.dll)"
  start_shell
  wine_run "$inst/VantrelZURaduHelper.exe" &
  HELPER_PID=$!
  before=$(helper_window 20000) || fail "the helper did not start"
  run_update host en_US 0 "$(info_arg)"
  finish
  wait_for 10 ended "$HELPER_PID" || fail "the running helper was not ended"
  expect_eq "a.dll" "$(cat "$inst/a.dll")" "new a"
  wait_for 20 helper_runs || fail "the helper was not started again"
  after=$(helper_window 1000)
  [ "$(field pid "$after")" != "$(field pid "$before")" ] || fail "the helper window belongs to the old process"
  expect_eq "helpers" "$(field count "$after")" 1
  wait_for 10 test -s "$host_calls" || fail "the host was not started"
  sleep 1  # the stand-in host has ended by now, so the suite does not count as running
  wine_run "$SCRATCH/device.exe" arrive norvextool_helper '\\?\USB#VID_1A2B&PID_3C4D#01#{a5dcbf10-6530-11d2-901f-00c04fb951ed}' 10000 >/dev/null ||
    fail "could not send an arrival to the restarted helper"
  wait_for 10 test -s "$inst/VantrelZURadu.exe.calls" || fail "the restarted helper did not start the suite for a listed phone"
  ;;
*) fail "unknown scenario $scenario" ;;
esac
echo "update.exe $scenario: 1 passed, 0 failed"
