#!/usr/bin/env bash
# The 32-bit norvextool.dll must export exactly the nine entry points under the decorated
# names the Java host looks up (leading underscore, argument bytes after '@'): read its
# export table with objdump and compare name for name.
set -euo pipefail
objdump=${1:?objdump} dll=${2:?norvextool.dll}
[ -x "$objdump" ] || { echo "FAIL: no objdump at '$objdump' (i686-w64-mingw32-objdump)"; exit 1; }
[ -f "$dll" ] || { echo "FAIL: $dll is missing: build the win32 preset first"; exit 1; }

prefix=_Java_com_norvex_zuradu_util_NativeHelper_
expected=$(printf "$prefix%s\n" getAllDevices@8 getUnavailableDevices@8 getUsbDevices@8 getUnavailableUsbDevices@8 \
  isDeviceAvailable@12 isX64@8 shellExecute@24 getCurrentLocalAppFolder@8 installUsbDetector@8 | sort)

table=$("$objdump" -p "$dll")
grep -q '^Magic.*010b' <<<"$table" || { echo "FAIL: $dll is not a 32-bit (PE32) image"; exit 1; }
grep -Eq '^Name[[:space:]]+[0-9a-f]+ norvextool.dll$' <<<"$table" || { echo "FAIL: the export table is not norvextool.dll's"; exit 1; }
# Rows of the name-pointer table look like "	[   0] _Java_...@8".
actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] \([^ ]*\)$/\1/p' | sort)

if [ "$actual" != "$expected" ]; then
  echo "FAIL: exports differ (< expected, > exported):"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "$(wc -l <<<"$actual") exports as expected:"
echo "$actual"
