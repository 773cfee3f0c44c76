# Makes a small real package for the script tests with the real aapt and framework-res.apk.
#   make_test_apk WORK_DIR LABEL OUT_APK < AndroidManifest.xml
# The manifest comes on standard input and may name @string/app_name and @drawable/icon: the
# label becomes that string, and a 4×4 PNG made here becomes the hdpi icon.
# shellcheck shell=bash
make_test_apk() {
  local work=$1 label=$2 out=$3
  mkdir -p "$work/res/values" "$work/res/drawable-hdpi"
  cat >"$work/AndroidManifest.xml"
  python3 - "$work/res/drawable-hdpi/icon.png" <<'PY'
import struct, sys, zlib
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
raw = b''.join(b'\x00' + b'\x40\x50\x60' * 4 for _ in range(4))
open(sys.argv[1], 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 4, 4, 8, 2, 0, 0, 0))
                              + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))
PY
  echo "<resources><string name=\"app_name\">$label</string></resources>" >"$work/res/values/strings.xml"
  aapt package -M "$work/AndroidManifest.xml" -S "$work/res" \
    -I /usr/share/android-framework-res/framework-res.apk -F "$out" >/dev/null
}
