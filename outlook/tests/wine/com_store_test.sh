#!/usr/bin/env bash
# The IDispatch store against our stand-in Outlook server: the server DLL is registered in the
# prefix under the Outlook.Application class id, the check program plays the bridge's calls.
#   com_store_test.sh CHECK_EXE SERVER_DLL
source "$(dirname "$0")/../../../tests/wine/lib.sh"
check=${1:?check exe} server=${2:?server dll}
make_scratch
# Machine-wide: this Wine's CoCreateInstance does not find classes registered under HKCU
# (REGDB_E_CLASSNOTREG, 0x80040154).
key='HKLM\Software\Classes\CLSID\{0006F03A-0000-0000-C000-000000000046}'
trap 'wine_run reg delete "$key" /f >/dev/null 2>&1 || true; rm -rf "$SCRATCH"' EXIT
cp "$server" "$SCRATCH/fake_outlook.dll"
wine_run reg add "$key\\InprocServer32" /ve /d "$(winpath "$SCRATCH/fake_outlook.dll")" /f >/dev/null ||
  fail "could not register the server"
wine_run reg add "$key\\InprocServer32" /v ThreadingModel /d Apartment /f >/dev/null || fail "could not set the threading model"
export NORVEX_FAKE_OUTLOOK_SCRIPT NORVEX_FAKE_OUTLOOK_LOG  # read by the server inside the check program
NORVEX_FAKE_OUTLOOK_SCRIPT=$(winpath "$SCRATCH/outlook.txt") NORVEX_FAKE_OUTLOOK_LOG=$(winpath "$SCRATCH/calls.log")
out=$(timeout 120 "$NORVEX_WINE_TOOL" run "$NORVEX_WINE_STATE" "$check" "$NORVEX_FAKE_OUTLOOK_SCRIPT" "$NORVEX_FAKE_OUTLOOK_LOG" 2>&1 | tr -d '\r') || { echo "$out"; fail "the check program reported failures"; }
echo "$out"
grep -q '^com store: [0-9]* passed, 0 failed$' <<<"$out" || fail "no summary from the check program"
