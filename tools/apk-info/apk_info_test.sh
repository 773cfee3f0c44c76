#!/usr/bin/env bash
# apk-info end to end: a package made here by the real aapt must print the expected record, and
# a missing file, a folder and files that are no package must fail with a message.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/res/values" "$work/src/res/drawable-hdpi"
python3 - "$work/src/res/drawable-hdpi/icon.png" <<'PY'
import struct, sys, zlib
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
raw = b''.join(b'\x00' + b'\x10\x20\x30' * 4 for _ in range(4))
open(sys.argv[1], 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 4, 4, 8, 2, 0, 0, 0))
                              + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))
PY
cat >"$work/src/AndroidManifest.xml" <<'XML'
<manifest xmlns:android="http://schemas.android.com/apk/res/android" package="com.norvex.cli"
    android:versionCode="1" android:versionName="3.1 测试" android:installLocation="internalOnly">
  <uses-sdk android:minSdkVersion="10"/>
  <uses-permission android:name="android.permission.CAMERA"/>
  <uses-permission android:name="android.permission.READ_SMS"/>
  <application android:label="@string/app_name" android:icon="@drawable/icon"/>
</manifest>
XML
echo '<resources><string name="app_name">短信</string></resources>' >"$work/src/res/values/strings.xml"
aapt package -M "$work/src/AndroidManifest.xml" -S "$work/src/res" \
  -I /usr/share/android-framework-res/framework-res.apk -F "$work/短信 工具.APK" >/dev/null
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
