#!/usr/bin/env bash
# A 32-bit JNI library must export exactly its entry points under the decorated names the Java
# host resolves (leading underscore, argument bytes after '@'), and nothing else: read the
# export table with objdump and compare name for name.
#   check_exports.sh OBJDUMP DLL NAME...
set -euo pipefail
objdump=${1:?objdump} dll=${2:?dll}
shift 2
[ -x "$objdump" ] || { echo "FAIL: no objdump at '$objdump' (i686-w64-mingw32-objdump)"; exit 1; }
[ -f "$dll" ] || { echo "FAIL: $dll is missing: build the win32 preset first"; exit 1; }
name=$(basename "$dll")
expected=$(printf '%s\n' "$@" | sort)

table=$("$objdump" -p "$dll")
grep -q '^Magic.*010b' <<<"$table" || { echo "FAIL: $dll is not a 32-bit (PE32) image"; exit 1; }
grep -Eq "^Name[[:space:]]+[0-9a-f]+ $name\$" <<<"$table" || { echo "FAIL: the export table is not $name's"; exit 1; }
# Rows of the name-pointer table look like "	[   0] _Java_...@8".
actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] \([^ ]*\)$/\1/p' | sort)

if [ "$actual" != "$expected" ]; then
  echo "FAIL: exports of $name differ (< expected, > exported):"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "$name: $(wc -l <<<"$actual") exports as expected:"
echo "$actual"
