#!/usr/bin/env bash
# apk-info end to end: a package made here by the real aapt must print the expected record, and
# a missing file, a folder and files that are no package must fail with a message.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../../sideloader/tests/make_test_apk.sh"
make_test_apk "$work/src" "短信" "$work/短信 工具.APK" <<'XML'
<manifest xmlns:android="http://schemas.android.com/apk/res/android" package="com.norvex.cli"
    android:versionCode="1" android:versionName="3.1 测试" android:installLocation="internalOnly">
  <uses-sdk android:minSdkVersion="10"/>
  <uses-permission android:name="android.permission.CAMERA"/>
  <uses-permission android:name="android.permission.READ_SMS"/>
  <application android:label="@string/app_name" android:icon="@drawable/icon"/>
</manifest>
XML
"$tool" --aapt /usr/bin/aapt "$work/短信 工具.APK" >"$work/out.json"
python3 - "$work/out.json" "$(stat -c %s "$work/短信 工具.APK")" <<'PY'
import json, sys
got = json.load(open(sys.argv[1], encoding='utf-8'))
size = int(sys.argv[2])
want = {
    "displayName": "短信 工具", "versionName": "3.1 测试", "fileSize": size,
    "sizeText": "%d B" % size if size < 1024 else "%.2f KB" % (size / 1024.0),
    "sdkLevel": 10, "platformName": "Android 2.3.3",
    "permissions": [{"label": "读取短信",
                     "description": "允许应用程序读取您手机或SIM卡中存储的短信。恶意应用程序可借此读取您的机密信息。"}],
    "hasIcon": True, "installLocation": 1,
}
if got != want:
    print("record differs:\n got  %s\n want %s" % (json.dumps(got, ensure_ascii=False), json.dumps(want, ensure_ascii=False)))
    sys.exit(1)
PY
echo junk >"$work/junk.apk"
echo text >"$work/notes.txt"
for bad in "$work/missing.apk" "$work" "$work/notes.txt" "$work/junk.apk"; do
  if "$tool" --aapt /usr/bin/aapt "$bad" >"$work/bad.out" 2>"$work/bad.err"; then
    echo "accepted $bad"; exit 1
  fi
  grep -q "apk-info: " "$work/bad.err" || { echo "no message for $bad"; exit 1; }
  [ ! -s "$work/bad.out" ] || { echo "printed a record for $bad"; exit 1; }
done
echo "apk-info: record and refusals as expected"
