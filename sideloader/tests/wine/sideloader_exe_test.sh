#!/usr/bin/env bash
# sideloader.exe end to end in the Wine prefix, in a Chinese locale: packages made now with the
# real aapt, adb\aapt.exe replaying the real aapt's output for them, adb\adb.exe giving scripted
# answers, both recording how they were called; a driver reads the window's controls, presses
# its buttons and answers its message boxes.
# Files are dropped on the window as from a Linux file manager, through X drag and drop, which
# Wine hands to the program as WM_DROPFILES.
#   sideloader_exe_test.sh SCENARIO SIDELOADER_EXE FAKE_TOOL FAKE_PROGRAM DIALOG_DRIVER
source "$(dirname "$0")/../../../tests/wine/lib.sh"
source "$(dirname "$0")/../make_test_apk.sh"
scenario=$1 program=$2 fake_tool=$3 fake_program=$4 driver=$5
make_scratch
inst=$SCRATCH/安装 pkg=$SCRATCH/包
mkdir -p "$inst/adb" "$pkg"
cp "$program" "$inst/sideloader.exe"
cp "$fake_tool" "$inst/adb/adb.exe"
cp "$fake_tool" "$inst/adb/aapt.exe"
cp "$fake_program" "$inst/VantrelZURadu.exe"
cp "$driver" "$SCRATCH/driver.exe"
adb=$inst/adb/adb.exe aapt=$inst/adb/aapt.exe

title=诺维宝应用快速安装器
PROGRAM_PID=
clean_up() {
  if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2>/dev/null; then
    wine_run "$SCRATCH/driver.exe" press "$title" 1016 1000 >/dev/null 2>&1 || true
    wait_for 10 ended "$PROGRAM_PID" || kill "$PROGRAM_PID" 2>/dev/null || true
  fi
  wait 2>/dev/null || true
  rm -rf "$SCRATCH"
}
trap clean_up EXIT

start() {  # start [ARGS...]: the program in the background
  wine_run "$inst/sideloader.exe" "$@" </dev/null >/dev/null 2>&1 &
  PROGRAM_PID=$!
}
finish() {
  wait_for 20 ended "$PROGRAM_PID" || fail "the program did not end"
  wait "$PROGRAM_PID" || true
  PROGRAM_PID=
}
drive() { wine_run "$SCRATCH/driver.exe" "$@" | tr -d '\r'; }
controls() { CONTROLS=$(drive controls "$title" "${1:-20000}" 1000 1001 1002 1003 1004 1013 1018) || fail "no window: $CONTROLS"; }
control() { sed -n "s/^$1=//p" <<<"$CONTROLS"; }
box() { drive box "$1" "${2:-ok}" 20000 1004; }
field() { sed -n "s/^$1=//p" <<<"$2"; }
expect_eq() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }
press() { drive press "$title" "$1" 5000 >/dev/null || fail "cannot press $1"; }
wait_enabled() { drive wait "$title" 1018 enabled 20000 >/dev/null || fail "$1: the install button stays disabled"; }
calls() { [ -f "$1.calls" ] && tr -d '\r' <"$1.calls" || true; }
forget_calls() { rm -f "$adb".calls "$aapt".calls "$adb".*.count; }
# The Windows spelling of the work copy, where the program keeps the package it installs.
work_copy() {
  local local_app_data
  local_app_data=$(wine_local_app_data)
  printf '%s\\NorvexTool\\IstallTemp\\nvApkInstall.apk' "$local_app_data"
}
# package APK LABEL VERSION LOCATION MIN_SDK PERMISSION...: made by the real aapt, with an icon
package() {
  local apk=$1 label=$2 version=$3 location=$4 sdk=$5 permission; shift 5
  {
    printf '<manifest xmlns:android="http://schemas.android.com/apk/res/android" package="com.norvex.test"\n'
    printf '    android:versionCode="1" android:versionName="%s" android:installLocation="%s">\n' "$version" "$location"
    printf '  <uses-sdk android:minSdkVersion="%s"/>\n' "$sdk"
    for permission; do printf '  <uses-permission android:name="android.permission.%s"/>\n' "$permission"; done
    printf '  <application android:label="@string/app_name" android:icon="@drawable/icon"/>\n</manifest>\n'
  } | make_test_apk "$SCRATCH/src" "$label" "$apk"
}
# record APK: what the real aapt prints for it, for the stand-in to replay
record() { aapt dump badging "$1" >"$aapt.dump"; aapt l -a "$1" >"$aapt.l"; }
one_phone() { printf 'List of devices attached \nemulator-5554\tdevice\n\n' >"$adb.devices"; }
sd_card() { printf 'Android\nDCIM\nMusic\n' >"$adb.shell"; }
wait_text() {  # wait_text CONTROL TEXT: the worker sets it from its own thread
  local deadline=$((SECONDS + 20))
  while :; do
    controls; [ "$(control "$1")" = "$2" ] && return 0
    [ "$SECONDS" -lt "$deadline" ] || fail "control $1: got '$(control "$1")', expected '$2'"
    sleep 0.2
  done
}

drop() {  # drop FILE...: X drag and drop of the files onto the permission list
  local point x y uris=()
  point=$(drive point "$title" 1013 5000) || fail "no permission list to drop on"
  x=$(field x "$point") y=$(field y "$point")
  for file; do uris+=("file://$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$(realpath -m "$file")")"); done
  "$NORVEX_WINE_TOOL" shell "$NORVEX_WINE_STATE" "$SCRATCH/xdnd_drop" "$x" "$y" "${uris[@]}" || fail "the drop of $* failed"
}

wait_s='安装过程中,请等待安装结果.....'
case "$scenario" in
loaded)
  apk="$pkg/电话.apk"
  package "$apk" 电话本 2.0.26 preferExternal 7 CALL_PHONE SEND_SMS
  record "$apk"
  size=$(stat -c %s "$apk")
  start "$(winpath "$apk")"
  controls
  expect_eq "name" "$(control 1000)" "电话"
  expect_eq "version" "$(control 1001)" "版本：2.0.26 - 大小：$(awk -v n="$size" 'BEGIN{printf "%.2f KB", n/1024}')"
  expect_eq "minimum" "$(control 1002)" "最低要求 Android 2.1.x"
  expect_eq "heading" "$(control 1003)" "注意，此应用有权限进行以下操作："
  # The control reads back a paragraph end as CR LF and keeps its own final paragraph mark.
  expect_eq "list" "$(control 1013)" \
    '直接拨打电话号码\r\n允许应用程序在您不介入的情况下拨打电话。恶意应用程序可借此在您的话费单上产生意外的通话费。但此权限不允许应用程序拨打紧急呼救电话。\r\n\r\n发送短信\r\n允许应用程序发送短信。恶意应用程序可能会不经您的确认就发送信息，给您带来费用损失。\r\n'
  expect_eq "status" "$(control 1004)" "apk已经准备好，手机连接后请点击安装按钮，对应apk软件将自动安装到您的手机上。"
  expect_eq "install" "$(control 1018)|$(control 1018.enabled)" "安装|yes"
  expect_eq "aapt runs" "$(calls "$aapt")" " dump badging \"$(work_copy)\""

  press 1015
  wait_for 10 test -s "$inst/VantrelZURadu.exe.calls" || fail "the launch button started nothing"
  IFS='|' read -r line folder _ <"$inst/VantrelZURadu.exe.calls"
  expect_eq "launcher" "$(tr -d '"' <<<"$line" | sed 's/ *$//')|$folder" "$(winpath "$inst/VantrelZURadu.exe")|$(winpath "$inst")"

  # One phone with an SD card; the package prefers external storage.
  one_phone; sd_card; printf '\tpkg: /data/local/tmp/nvApkInstall.apk\nSuccess\n' >"$adb.install"
  forget_calls
  press 1018
  wait_text 1004 "电话 已成功安装到SD卡！"
  expect_eq "install after success" "$(control 1018.enabled)" yes
  expect_eq "adb runs" "$(calls "$adb")" \
    "$(printf ' start-server\n devices\n shell "ls sdcard/"\n  install -s  -r "%s"' "$(work_copy)")"
  expect_eq "aapt runs for the location" "$(calls "$aapt")" " l -a \"$(work_copy)\""

  declare -A devices=(
    [offline]=$'List of devices attached \nemulator-5554\toffline\n'
    [several]=$'List of devices attached \nemulator-5554\tdevice\n0123456789ABCDEF\tdevice\n'
    [none]=$'List of devices attached \n\n'
    [no-header]=$'* daemon not running. starting it now on port 5037 *\n'
    [unauthorized]=$'List of devices attached \n0123456789ABCDEF\tunauthorized\n')
  declare -A box_text=(
    [offline]='设备处于离线状态，请连接好手机稍后重试'
    [several]='您已连接多台设备，暂不支持多台设备同时安装应用程序'
    [none]='未检测到手机设备，请连接好手机稍后重试'
    [no-header]='请稍后再试，设备未准备好！'
    [unauthorized]='设备未授权，请在手机上允许USB调试后重试')
  declare -A status_text=(
    [offline]='安装失败：设备处于离线状态，请连接好手机稍后重试'
    [several]='安装失败：您已连接多台设备，暂不支持多台设备同时安装应用程序，您可尝试使用诺维宝完整版选择设备安装此应用程序。'
    [none]='安装失败：未检测到手机设备，请连接手机稍后重试'
    [no-header]='请用USB线连接好手机..'
    [unauthorized]='安装失败：设备未授权，请在手机上允许USB调试后重试')
  before="电话 已成功安装到SD卡！"
  for case in offline several none no-header unauthorized; do
    printf '%s' "${devices[$case]}" >"$adb.devices"
    forget_calls
    press 1018
    out=$(box 提示信息 ok)
    expect_eq "$case box" "$(field text "$out")" "${box_text[$case]}"
    expect_eq "$case box buttons and icon" "$(field buttons "$out")|$(field icon "$out")" "OK|no"
    # The status explains the box: it changes only once the box is closed.
    expect_eq "$case: status under the box" "$(field owner_status "$out")" "$before"
    wait_text 1004 "${status_text[$case]}"
    before=${status_text[$case]}
    wait_enabled "$case"
    expect_eq "$case adb runs" "$(calls "$adb")" "$(printf ' start-server\n devices')"
  done
  press 1016
  finish
  ;;
retry)
  apk="$pkg/Notes.apk"
  package "$apk" Notes 1.5 auto 8 INTERNET
  record "$apk"
  start "/quiet" "-x" "$(winpath "$apk")" "ignored.apk"
  controls
  expect_eq "name" "$(control 1000)" "Notes"
  expect_eq "list without listed permissions" "$(control 1013)" "无敏感权限"
  expect_eq "install" "$(control 1018.enabled)" yes

  # Not enough room on the SD card, twice: one retry on the phone, then the message.
  one_phone; sd_card
  printf 'Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE]\n' >"$adb.install"
  forget_calls
  press 1018
  out=$(box 提示信息 ok)
  expect_eq "box" "$(field text "$out")" '安装失败\r\n\r\nNotes没有足够的存储空间'
  expect_eq "retry status under the box" "$(field owner_status "$out")" "SD卡无足够空间,正在尝试将Notes安装到手机上 \\r\\n$wait_s"
  wait_text 1004 "安装失败,Notes没有足够的存储空间"
  wait_enabled "storage"
  expect_eq "adb runs" "$(calls "$adb")" \
    "$(printf ' start-server\n devices\n shell "ls sdcard/"\n  install -s  -r "%s"\n  install  -r "%s"' "$(work_copy)" "$(work_copy)")"

  # A phone without the SD-card option: the retry on the phone succeeds. The last click left
  # the location on the phone, so no probe runs, but the manifest asks for "auto" again.
  printf 'Error: Unknown option -s\n' >"$adb.install.3"
  printf 'Success\n' >"$adb.install.4"
  rm -f "$adb".calls "$aapt".calls
  press 1018
  wait_text 1004 "Notes 已成功安装到您手机！"
  wait_enabled "unknown option"
  expect_eq "adb runs" "$(calls "$adb")" \
    "$(printf ' start-server\n devices\n  install -s  -r "%s"\n  install  -r "%s"' "$(work_copy)" "$(work_copy)")"
  expect_eq "aapt runs" "$(calls "$aapt")" " l -a \"$(work_copy)\""
  press 1016
  finish
  ;;
start-up)
  start
  controls
  expect_eq "template name" "$(control 1000)" "VantrelZURadu"
  expect_eq "version" "$(control 1001)" ""
  expect_eq "minimum" "$(control 1002)" "未接收到任何要安装到手机的apk文件"
  expect_eq "heading" "$(control 1003)" "欢迎使用诺维宝软件"
  expect_eq "list" "$(control 1013)" "将文件拖到此方框中，即可进行相应操作"
  expect_eq "status" "$(control 1004)" "请用USB线连接好手机.."
  expect_eq "install" "$(control 1018)|$(control 1018.enabled)" "安装|no"
  wait_for 10 grep -q start-server "$adb.calls" || fail "the adb server was not started at launch"
  press 1016
  finish

  echo notes >"$pkg/说明.txt"
  mkdir -p "$pkg/文件夹.apk"
  for refused in "说明.txt|文件类型不对!" "文件夹.apk|不能传输文件夹!"; do
    start "$(winpath "$pkg/${refused%%|*}")"
    out=$(drive box sideloader ok 20000)
    expect_eq "${refused%%|*}" "$(field text "$out")|$(field icon "$out")" "${refused#*|}|yes"
    finish
    out=$(drive controls "$title" 500 1000 || true)
    expect_eq "window after ${refused%%|*}" "$out" "window=none"
  done
  ;;
drop)
  cc -O1 -o "$SCRATCH/xdnd_drop" "$(dirname "$0")/xdnd_drop.c" -lX11 || fail "cannot build the X drop source (libx11-dev)"
  package "$pkg/电话.apk" 电话本 2.0.26 preferExternal 7 CALL_PHONE
  package "$pkg/other.apk" Other 1.0 auto 7 SEND_SMS
  echo notes >"$pkg/说明.txt"
  mkdir -p "$pkg/文件夹"
  record "$pkg/电话.apk"
  phone_list='直接拨打电话号码\r\n允许应用程序在您不介入的情况下拨打电话。恶意应用程序可借此在您的话费单上产生意外的通话费。但此权限不允许应用程序拨打紧急呼救电话。\r\n'
  start
  controls
  expect_eq "template name" "$(control 1000)" "VantrelZURadu"

  drop "$pkg/电话.apk"
  wait_text 1000 "电话"
  expect_eq "list after the drop" "$(control 1013)" "$phone_list"
  expect_eq "install after the drop" "$(control 1018.enabled)" yes
  expect_eq "aapt runs" "$(calls "$aapt")" " dump badging \"$(work_copy)\""

  # Two files: only the first counts, and it is no package.
  drop "$pkg/说明.txt" "$pkg/other.apk"
  out=$(drive box sideloader ok 20000)
  expect_eq "text file" "$(field text "$out")" "文件类型不对!"
  wait_text 1000 "说明.txt"
  expect_eq "list after the text file" "$(control 1013)" "将文件拖到此方框中，即可进行相应操作"
  expect_eq "status after the text file" "$(control 1004)" "请用USB线连接好手机.."
  expect_eq "install after the text file" "$(control 1018.enabled)" no

  # A folder dropped on a loaded package: the package stays, permissions and all.
  drop "$pkg/电话.apk"
  wait_text 1000 "电话"
  drop "$pkg/文件夹"
  out=$(drive box sideloader ok 20000)
  expect_eq "folder" "$(field text "$out")" "不能传输文件夹!"
  controls
  expect_eq "name after the folder" "$(control 1000)" "电话"
  expect_eq "list after the folder" "$(control 1013)" "$phone_list"
  expect_eq "install after the folder" "$(control 1018.enabled)" yes

  # A drop while adb installs is refused; the work copy stays the package being installed.
  one_phone; sd_card; echo Success >"$adb.install"; touch "$adb.install.wait"
  forget_calls
  press 1018
  wait_for 20 grep -q install "$adb.calls" 2>/dev/null || fail "the installation did not start"
  drop "$pkg/other.apk"
  out=$(drive box sideloader ok 20000)
  expect_eq "drop while installing" "$(field text "$out")" "正在安装，请等安装结束后再拖入文件!"
  controls
  expect_eq "name while installing" "$(control 1000)" "电话"
  expect_eq "install button while installing" "$(control 1018.enabled)" no
  rm -f "$adb.install.wait"
  wait_text 1004 "电话 已成功安装到SD卡！"
  wait_enabled "after the refused drop"
  work=$("$NORVEX_WINE_TOOL" shell "$NORVEX_WINE_STATE" printenv WINEPREFIX)/drive_c/$(work_copy | sed 's/^C:\\//; s/\\/\//g')
  cmp -s "$work" "$pkg/电话.apk" || fail "the work copy changed during the installation"
  press 1016
  finish
  ;;
*) fail "unknown scenario $scenario" ;;
esac
echo "sideloader.exe $scenario: 1 passed, 0 failed"
