#!/usr/bin/env bash
# norvextool's getAllDevices through a real JVM over a scripted tree of 10 000 devices (the
# host-side build of the library, optimised): time per call and per device against building
# the same objects in Java from the same 8-bit texts, bytes allocated per call, heap kept by
# one result, collections during the run; then the same calls under -Xcheck:jni, which warns
# as soon as a native call holds more local references than its frame's capacity (32), and
# with a heap of 16 MiB, to show the call needs no more than its result.
#   NORVEX_BENCH_BUILD=dir  use an already configured native-release build tree instead
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/jvm_bench.sh
jvm_bench_setup native norvextool native_helper_classes
devices=10000
# bench "JVM options" ARGS...
bench() {
  local options=$1
  shift
  jvm_bench "$options" norvex.jvmtest.NativeHelperBench "$@"
}

echo "== getAllDevices, $devices devices, heap 256 MiB, no JNI checks"
bench "-Xms256m -Xmx256m" $devices 300

echo "== the same without descriptions (no code-page conversion), 300 calls"
bench "-Xms256m -Xmx256m" $devices 300 nodesc | grep -E '^getAllDevices|^same objects|^ratio'

echo "== the same under -Xcheck:jni, 20 calls"
checked=$(bench -Xcheck:jni $devices 20 2>&1)
grep -E '^getAllDevices' <<<"$checked"
warnings=$(grep -c 'WARNING' <<<"$checked" || true)
echo "JNI warnings (local references and others): $warnings"

echo "== the same with a heap of 16 MiB, 50 calls"
bench -Xmx16m $devices 50 | grep -E '^getAllDevices|^heap kept'
[ "$warnings" -eq 0 ] || { echo "FAIL: -Xcheck:jni warned"; exit 1; }
