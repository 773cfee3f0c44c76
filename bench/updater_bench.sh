#!/usr/bin/env bash
# Updater benchmarks against the tools a user would compare with, measured in the same run on
# the same files with a warm cache (best of several runs each, the
# file cache warm and written back before every run):
#   package check: `upgrade-tool inspect` of a 256 MiB package vs `md5sum` (target >= 0.9x
#                  md5sum's throughput, peak memory < 32 MiB)
#   unpacking:     `upgrade-tool apply` of one folder entry whose archive holds 2000 files
#                  (about 100 MiB), package check included, vs `unzip -q` (target <= 1.3x)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build native-release >/dev/null
tool=$PWD/build/native-release/tools/upgrade-tool
work=$(mktemp -d /tmp/norvex-bench-XXXXXX)
# The unpacking runs in memory (tmpfs) as well: on a disk the write-back of 100 MiB makes
# single runs of either tool vary by half, which would drown the comparison.
shm=$(mktemp -d /dev/shm/norvex-bench-XXXXXX)
trap 'rm -rf "$work" "$shm"' EXIT

best_of_3() {  # prints the best wall time in seconds of the command
  local best=
  for _ in 1 2 3; do
    local t0 t1 t
    # Dirty pages of an earlier run would otherwise be written back during this one.
    sync
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
    t=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  printf '%s' "$best"
}
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n1; }
verdict() { if [ "$(echo "$1" | bc -l)" = 1 ]; then echo "meets the target"; else echo "MISSES the target"; fi; }

echo "== package check: 256 MiB package"
head -c $((256 * 1024 * 1024)) /dev/urandom >"$work/package.bin"
cat >"$work/check.json" <<JSON
{"displayVersion": "bench", "models": [{"modelName": "p", "fileName": "p.bin", "path": "$work/package.bin", "operationCode": 1, "size": 1}]}
JSON
"$tool" pack "$work/check.json" "$work/check.info" >/dev/null
"$tool" inspect "$work/check.info" >/dev/null || { echo "inspect refused the package"; exit 1; }
cat "$work/package.bin" >/dev/null
ours=$(best_of_3 "$tool" inspect "$work/check.info")
theirs=$(best_of_3 md5sum "$work/package.bin")
memory=$(peak_kib "$tool" inspect "$work/check.info")
ratio=$(echo "$theirs / $ours" | bc -l)
printf 'upgrade-tool inspect %.3f s (%.0f MiB/s), md5sum %.3f s (%.0f MiB/s)\n' "$ours" "$(echo "256 / $ours" | bc -l)" "$theirs" "$(echo "256 / $theirs" | bc -l)"
printf 'throughput ratio inspect/md5sum: %.2f (target >= 0.90): %s\n' "$ratio" "$(verdict "$ratio >= 0.9")"
printf 'peak memory of inspect: %.1f MiB (target < 32): %s\n' "$(echo "$memory / 1024" | bc -l)" "$(verdict "$memory < 32768")"
rm -f "$work/package.bin"

echo "== unpacking: 2000 files, about 100 MiB"
mkdir -p "$work/src/plugins"
for i in $(seq 1 2000); do
  head -c 52000 /dev/urandom >"$work/src/plugins/file$i.bin"
done
(cd "$work/src" && zip -q -r -1 "$work/plugins.zip" plugins)
rm -rf "$work/src"
cat >"$work/unpack.json" <<JSON
{"displayVersion": "bench", "models": [{"modelName": "plugins", "fileName": "plugins.zip", "path": "$work/plugins.zip", "operationCode": 1, "size": 100}]}
JSON
unpack_compare() {  # unpack_compare FOLDER LABEL: both tools unpack the same archive into FOLDER
  local at=$1 label=$2
  [ "$at" = "$work" ] || cp "$work/plugins.zip" "$at/plugins.zip"
  sed "s|$work/plugins.zip|$at/plugins.zip|" "$work/unpack.json" >"$at/unpack-here.json"
  "$tool" pack "$at/unpack-here.json" "$at/unpack.info" >/dev/null
  apply_once() { rm -rf "$at/inst"; mkdir "$at/inst"; "$tool" apply "$at/inst" "$at/unpack.info"; }
  unzip_once() { rm -rf "$at/out"; mkdir "$at/out"; unzip -q "$at/plugins.zip" -d "$at/out"; }
  apply_once >/dev/null 2>&1
  [ "$(find "$at/inst/plugins" -type f | wc -l)" = 2000 ] || { echo "apply did not unpack 2000 files"; exit 1; }
  # Alternating rounds, so neither tool always runs on a disk the other has just filled.
  local ours=999 theirs=999
  for _ in 1 2; do
    ours=$(printf '%s\n%s\n' "$ours" "$(best_of_3 apply_once)" | sort -g | head -n1)
    theirs=$(printf '%s\n%s\n' "$theirs" "$(best_of_3 unzip_once)" | sort -g | head -n1)
  done
  rm -rf "$at/inst" "$at/out"
  local ratio; ratio=$(echo "$ours / $theirs" | bc -l)
  printf '%s: upgrade-tool apply %.3f s, unzip -q %.3f s, ratio %.2f\n' "$label" "$ours" "$theirs" "$ratio"
  RATIO=$ratio
}
unpack_compare "$shm" "in memory (tmpfs)"
printf 'time ratio apply/unzip in memory: %.2f (target <= 1.30): %s\n' "$RATIO" "$(verdict "$RATIO <= 1.3")"
unpack_compare "$work" "on disk, for information"
