#!/usr/bin/env bash
# The real registry code under Wine: "Local AppData" as our reader sees it must be what Wine's
# own `reg` tool reports; a Chinese value name (the font substitute the prefix installs) and a
# too-small buffer behave as the programs expect.
set -euo pipefail
probe=${1:?probe exe}
run() { "$NORVEX_WINE_TOOL" run "$NORVEX_WINE_STATE" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }
shell_folders='Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'

expected=$(run reg query "HKCU\\$shell_folders" /v 'Local AppData' | tr -d '\r' |
           sed -n 's/^ *Local AppData *REG_[A-Z_]* *//p')
[ -n "$expected" ] || fail "reg query printed no Local AppData"
actual=$(run "$probe" localappdata 2600 | tr -d '\r')
[ "$actual" = "$expected" ] || fail "reader gave '$actual', reg query '$expected'"
echo "Local AppData: $actual"

if run "$probe" localappdata 8 >/dev/null; then fail "an 8-byte buffer must not hold '$expected'"; fi

face=$(NORVEX_WINE_LC=en_US.UTF-8 run "$probe" HKLM 'Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' '宋体' 260 | tr -d '\r')
[ "$face" = "WenQuanYi Micro Hei" ] || fail "font substitute for 宋体 is '$face'"
if run "$probe" HKCU 'Software\NoSuchKey' 'x' 260 >/dev/null; then fail "a missing key gave a value"; fi
echo "1 passed, 0 failed"
