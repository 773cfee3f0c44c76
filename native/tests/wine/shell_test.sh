#!/usr/bin/env bash
# norvextool.dll's shellExecute under Wine, called through its export by the JNI harness,
# starting a program of ours (the recording fake program, kept running while its ".stay" file
# exists): with waiting it returns true only after the program has ended; without, at once;
# parameters and directory arrive, null ones as none; a missing or null file answers false.
source "$(dirname "$0")/../../../tests/wine/lib.sh"
harness=${1:?harness exe} dll=${2:?norvextool.dll} fake=${3:?fake program exe}
make_scratch
mkdir -p "$SCRATCH/my tools" "$SCRATCH/work dir" "$SCRATCH/cwd"
prog="$SCRATCH/my tools/prog.exe"
cp "$fake" "$prog"
calls="$prog.calls" stay="$prog.stay"
# A call that shows a message box would block for ever: give each one minute at most.
shell() {
  local out
  out=$(cd "$SCRATCH/cwd" && timeout 60 "$NORVEX_WINE_TOOL" run "$NORVEX_WINE_STATE" "$harness" "$dll" shell "$@") ||
    echo "harness ended with $?" >&2
  tr -d '\r' <<<"$out" | head -n1
}
started() { [ -s "$calls" ]; }

# Waiting: the call must still be blocked while the program runs, and return true after it ends.
touch "$stay"
(shell wait "$(winpath "$prog")" 'alpha "b c"' "$(winpath "$SCRATCH/work dir")" >"$SCRATCH/wait.out") &
caller=$!
wait_for 30 started || fail "the program was not started"
sleep 2
kill -0 "$caller" 2>/dev/null || fail "shellExecute with waiting returned while the program ran: $(cat "$SCRATCH/wait.out")"
rm -f "$stay"
wait_for 15 ended "$caller" || fail "shellExecute with waiting did not return after the program ended"
wait "$caller" || true
[ "$(cat "$SCRATCH/wait.out")" = true ] || fail "shellExecute with waiting gave '$(cat "$SCRATCH/wait.out")'"
line=$(head -n1 "$calls")
[[ $line == *'prog.exe'*' alpha "b c"|'"$(winpath "$SCRATCH/work dir")|"* ]] || fail "the program was started as: $line"
echo "with waiting: blocked while the program ran, then true; started as: ${line%|*}"

# Null parameters and directory: no arguments, the caller's current folder.
rm -f "$calls"
[ "$(shell wait "$(winpath "$prog")" -null -null)" = true ] || fail "shellExecute with null parameters gave false"
line=$(head -n1 "$calls")
[[ $line == *'prog.exe"|'"$(winpath "$SCRATCH/cwd")|"* || $line == *'prog.exe|'"$(winpath "$SCRATCH/cwd")|"* ]] ||
  fail "with null parameters and directory the program was started as: $line"
echo "null parameters and directory: started as: ${line%|*}"

# Without waiting: true at once while the program keeps running.
rm -f "$calls"
touch "$stay"
SECONDS=0
[ "$(shell nowait "$(winpath "$prog")" one "$(winpath "$SCRATCH/work dir")")" = true ] || fail "shellExecute without waiting gave false"
took=$SECONDS
wait_for 30 started || fail "the program was not started without waiting"
[ -e "$stay" ] && [ "$took" -lt 20 ] || fail "shellExecute without waiting took $took s"
rm -f "$stay"
echo "without waiting: true after $took s while the program ran"

# Failures answer false in both modes and start nothing.
rm -f "$calls"
for mode in wait nowait; do
  for file in "$(winpath "$SCRATCH/my tools/missing.exe")" -null; do
    got=$(shell "$mode" "$file" -null -null)
    [ "$got" = false ] || fail "shellExecute $mode '$file' gave '$got'"
  done
done
[ ! -e "$calls" ] || fail "a failing call started the program"
echo "missing and null files: false with and without waiting"
echo "1 passed, 0 failed"
