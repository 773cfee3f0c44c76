#!/usr/bin/env bash
# outlook's ReadAllContact through a real JVM over a scripted folder of 10 000 contacts (the
# host-side build of the library, optimised): time per contact and store calls per contact,
# against building the same records in Java by reflection from the same values, measured in
# the same run; then the same read under -Xcheck:jni, which warns as soon as a native call
# holds more local references than its frame allows.
#   NORVEX_BENCH_BUILD=dir  use an already configured native-release build tree instead
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/jvm_bench.sh
jvm_bench_setup outlook outlook outlook_jvm_classes
contacts=10000
# bench "JVM options" rounds
bench() { jvm_bench "$1" norvex.jvmtest.OutlookBench "$contacts" "$2"; }

echo "== ReadAllContact, $contacts contacts, heap 512 MiB, no JNI checks, 20 calls"
bench "-Xms512m -Xmx512m" 20

echo "== the same under -Xcheck:jni, 3 calls"
checked=$(bench -Xcheck:jni 3 2>&1)
grep -E '^ReadAllContact|^store calls' <<<"$checked"
warnings=$(grep -c 'WARNING' <<<"$checked" || true)
echo "JNI warnings (local references and others): $warnings"
[ "$warnings" -eq 0 ] || { echo "FAIL: -Xcheck:jni warned"; exit 1; }
