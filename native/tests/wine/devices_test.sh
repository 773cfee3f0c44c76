#!/usr/bin/env bash
# norvextool.dll's device lists under Wine, called through its exports by the JNI harness: the
# SetupAPI walk must find Wine's own devices (ROOT\WINE\...) with the descriptions and classes
# Wine's registry holds for them, the lists must answer null rather than an empty array, the
# presence test must follow the prefix rule, and few local references may live at once.
source "$(dirname "$0")/../../../tests/wine/lib.sh"
harness=${1:?harness exe} dll=${2:?norvextool.dll}
call() { wine_run "$harness" "$dll" "$@" | tr -d '\r'; }
records() { grep -v '^peak local references' <<<"$1"; }
peak() { sed -n 's/^peak local references: //p' <<<"$1"; }

# The oracle: every device instance key under Enum (three levels deep), upper-cased as SetupAPI
# reports identifiers, with its DeviceDesc, and TRUE when it has a non-empty Class value.
expected=$(wine_run reg query 'HKLM\System\CurrentControlSet\Enum' /s | tr -d '\r' | awk '
  function flush() { if (key != "") printf "%s|%s|%s\n", toupper(key), desc, (class != "" ? "TRUE" : "FALSE") }
  /^HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\/ {
    flush(); key = ""; desc = ""; class = ""
    path = substr($0, length("HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\") + 1)
    if (split(path, parts, "\\") == 3) key = path
    next }
  key != "" && $1 == "Class" && $2 == "REG_SZ" { sub(/^ *Class +REG_SZ +/, ""); class = $0 }
  key != "" && $1 == "DeviceDesc" && $2 == "REG_SZ" { sub(/^ *DeviceDesc +REG_SZ +/, ""); desc = $0 }
  END { flush() }' | sort)
[ -n "$expected" ] || fail "the registry lists no device instance"

all=$(call list all)
# Parents are not compared: Wine's CM_Get_Parent fails, so every "psn" is empty here.
listed=$(records "$all" | awk -F'|' '{ printf "%s|%s|%s\n", toupper($1), $2, $4 }' | sort)
[ "$listed" = "$expected" ] || fail "getAllDevices differs from the registry (< registry, > listed):
$(diff <(echo "$expected") <(echo "$listed"))"
grep -q '^ROOT\\' <<<"$(records "$all")" || fail "no ROOT\\ device among: $all"
[ "$(peak "$all")" -le 8 ] || fail "$(peak "$all") local references alive at once for $(records "$all" | wc -l) devices"
echo "getAllDevices: $(records "$all" | wc -l) devices, as the registry has them; at most $(peak "$all") local references at once"

# The other lists: exactly the matching part of the full list, or null when that is empty.
usb='index($1, "USB\\VID") == 1'
for list in "unavailable|\$4 == \"FALSE\"" "usb|$usb" "unavailable-usb|$usb && \$4 == \"FALSE\""; do
  name=${list%%|*} condition=${list#*|}
  want=$(records "$all" | awk -F'|' "$condition")
  got=$(records "$(call list "$name")")
  [ -n "$want" ] || want=null
  [ "$got" = "$want" ] || fail "list $name gave '$got', expected '$want'"
  echo "list $name: $(wc -l <<<"$got") line(s), as expected ('$(head -n1 <<<"$got")')"
done

# isDeviceAvailable: is there an available device whose identifier begins with the text?
available_ids=$(records "$all" | awk -F'|' '$4 == "TRUE" { print $1 }')
first_root=$(grep -m1 '^ROOT\\' <<<"$available_ids" || true)
[ -n "$first_root" ] || fail "no available ROOT\\ device to ask about"
cases=(
  "|$([ -n "$available_ids" ] && echo true || echo false)"
  "$first_root|true"
  "${first_root%\\*}|true"
  "${first_root,,}|false"
  "$first_root\\0|false"
  "-null|false"
)
for c in "${cases[@]}"; do
  prefix=${c%|*} want=${c##*|}
  got=$(records "$(call available "$prefix")")
  [ "$got" = "$want" ] || fail "isDeviceAvailable('$prefix') gave '$got', expected '$want'"
done
echo "isDeviceAvailable: ${#cases[@]} cases as expected"

# The other entry points that need no shell program.
[ "$(records "$(call x64)")" = true ] || fail "isX64 is not true in a 64-bit process"
folder=$(wine_local_app_data)
got=$(records "$(call folder)")
[ -n "$folder" ] && [ "${got,,}" = "${folder,,}" ] || fail "getCurrentLocalAppFolder gave '$got', the registry has '$folder'"
[ "$(records "$(call usbdetector)")" = done ] || fail "installUsbDetector did not return"
echo "isX64 true, getCurrentLocalAppFolder '$got', installUsbDetector returns"
echo "1 passed, 0 failed"
