#!/usr/bin/env bash
# The shipped 32-bit deliverables must run on a bare Windows: each one is present in
# dist/win32/, is a 32-bit PE file, and imports only DLLs that Windows itself provides.
#   check_imports.sh DIST_DIR FILE...
set -euo pipefail
dist=$1; shift
objdump=i686-w64-mingw32-objdump
command -v "$objdump" >/dev/null || { echo "FAIL: $objdump is missing: run scripts/bootstrap"; exit 1; }
system_dlls='^(advapi32|comctl32|comdlg32|gdi32|gdiplus|kernel32|msvcrt|ole32|oleaut32|setupapi|cfgmgr32|shell32|shlwapi|user32|ws2_32|version|riched20|msftedit|uxtheme)\.dll$'
failed=0
for file in "$@"; do
  path=$dist/$file
  if [ ! -f "$path" ]; then echo "FAIL: $path is missing (build the win32 preset)"; failed=1; continue; fi
  headers=$("$objdump" -p "$path")
  grep -q 'file format pei-i386' <<<"$headers" || { echo "FAIL: $file is not a 32-bit PE file"; failed=1; }
  while read -r dll; do
    if ! grep -qiE "$system_dlls" <<<"$dll"; then echo "FAIL: $file imports $dll"; failed=1; fi
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
  echo "$file imports: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"
done
exit $failed
