#!/usr/bin/env bash
# StopRunningHelper on real processes: the helper started from the installation folder is
# ended; one started from another folder, and one whose name differs in case, keep running.
source "$(dirname "$0")/../../../tests/wine/lib.sh"
probe=$1 fake=$2
make_scratch
mkdir -p "$SCRATCH/inst" "$SCRATCH/other" "$SCRATCH/cased"
cp "$fake" "$SCRATCH/inst/VantrelZURaduHelper.exe"
cp "$fake" "$SCRATCH/other/VantrelZURaduHelper.exe"
cp "$fake" "$SCRATCH/cased/vantrelzuraduhelper.exe"
pids=()
for exe in other/VantrelZURaduHelper.exe inst/VantrelZURaduHelper.exe cased/vantrelzuraduhelper.exe; do
  touch "$SCRATCH/$exe.stay"
  wine_run "$SCRATCH/$exe" &
  pids+=($!)
  wait_for 20 test -s "$SCRATCH/$exe.calls" || fail "$exe did not start"
done
out=$(wine_run "$probe" stop-helper "$(winpath "$SCRATCH/inst")" | tr -d '\r')
[ "$out" = "stopped=1" ] || fail "probe said '$out'"
wait_for 10 ended "${pids[1]}" || fail "the installation's helper still runs"
kill -0 "${pids[0]}" 2>/dev/null || fail "the helper of another folder was ended"
kill -0 "${pids[2]}" 2>/dev/null || fail "a helper whose name differs in case was ended"

out=$(wine_run "$probe" stop-helper "$(winpath "$SCRATCH/inst")" | tr -d '\r')
[ "$out" = "stopped=0" ] || fail "with no helper of the installation running the probe said '$out'"
rm -f "$SCRATCH"/*/*.stay
wait "${pids[0]}" "${pids[2]}" || true
echo "stop helper: 1 passed, 0 failed"
