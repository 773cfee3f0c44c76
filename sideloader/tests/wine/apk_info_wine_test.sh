#!/usr/bin/env bash
# apk-info.exe under Wine: the Windows process runner (hidden child, one pipe for both streams,
# read to the end), the Windows file calls and minizip's wide-path opening read a real package
# with a Chinese name; aapt is played by fake_aapt.exe replaying the real aapt's output.
set -euo pipefail
tool=${1:?apk-info.exe} fake=${2:?fake_aapt.exe}
source "$(dirname "$0")/../../../tests/wine/lib.sh"
make_scratch
source "$(dirname "$0")/../make_test_apk.sh"
mkdir -p "$SCRATCH/adb" "$SCRATCH/包"
apk="$SCRATCH/包/电话.apk"
make_test_apk "$SCRATCH/src" "电话" "$apk" <<'XML'
<manifest xmlns:android="http://schemas.android.com/apk/res/android" package="com.norvex.wine"
    android:versionCode="1" android:versionName="版本 5" android:installLocation="preferExternal">
  <uses-sdk android:minSdkVersion="7"/>
  <uses-permission android:name="android.permission.CALL_PHONE"/>
  <application android:label="@string/app_name" android:icon="@drawable/icon"/>
</manifest>
XML
cp "$fake" "$SCRATCH/adb/aapt.exe"
aapt dump badging "$apk" >"$SCRATCH/adb/aapt.exe.dump"
aapt l -a "$apk" >"$SCRATCH/adb/aapt.exe.l"

wine_run "$tool" --aapt "$(winpath "$SCRATCH/adb/aapt.exe")" "$(winpath "$apk")" >"$SCRATCH/out.json" 2>"$SCRATCH/err" ||
  fail "apk-info.exe failed: $(cat "$SCRATCH/err")"
python3 - "$SCRATCH/out.json" "$(stat -c %s "$apk")" <<'PY' || fail "unexpected record"
import json, sys
got = json.loads(open(sys.argv[1], encoding='utf-8').read().replace('\r', ''))
size = int(sys.argv[2])
want = {"displayName": "电话", "versionName": "版本 5", "fileSize": size,
        "sizeText": "%d B" % size if size < 1024 else "%.2f KB" % (size / 1024.0),
        "sdkLevel": 7, "platformName": "Android 2.1.x",
        "permissions": [{"label": "直接拨打电话号码",
                         "description": "允许应用程序在您不介入的情况下拨打电话。恶意应用程序可借此在您的话费单上产生意外的通话费。但此权限不允许应用程序拨打紧急呼救电话。"}],
        "hasIcon": True, "installLocation": 2}
if got != want:
    print("got  %s\nwant %s" % (json.dumps(got, ensure_ascii=False), json.dumps(want, ensure_ascii=False)))
    sys.exit(1)
PY
grep -q ' dump badging "' "$SCRATCH/adb/aapt.exe.calls" || fail "no badging run: $(cat "$SCRATCH/adb/aapt.exe.calls")"
grep -q ' l -a "' "$SCRATCH/adb/aapt.exe.calls" || fail "no manifest run: $(cat "$SCRATCH/adb/aapt.exe.calls")"
echo "1 passed, 0 failed"
