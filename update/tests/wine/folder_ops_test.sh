#!/usr/bin/env bash
# The updater's file copies and tree deletion against real Windows sharing under Wine: a file
# another program holds open stops them, and the same operations succeed once it lets go.
#   folder_ops_test.sh PROBE_EXE HOLDER_EXE
set -euo pipefail
probe=${1:?probe exe}
holder=${2:?holder exe}
run() { "$NORVEX_WINE_TOOL" run "$NORVEX_WINE_STATE" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }
win() { printf 'Z:%s' "${1//\//\\}"; }

work=$(mktemp -d "$NORVEX_WINE_STATE/folder_ops.XXXXXX")
holder_pid=
cleanup() {
  touch "$work/stop"
  [ -n "$holder_pid" ] && wait "$holder_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# hold FILE: starts the holder and returns once it has the file open.
hold() {
  rm -f "$work/ready" "$work/stop"
  run "$holder" "$(win "$1")" "$(win "$work/ready")" "$(win "$work/stop")" &
  holder_pid=$!
  for _ in $(seq 300); do [ -e "$work/ready" ] && return 0; sleep 0.1; done
  fail "the holder did not open $2"
}
release() {
  touch "$work/stop"
  wait "$holder_pid" || fail "the holder ended with an error"
  holder_pid=
}
# read_only FILE: whether Windows reports the read-only attribute (the flags before the path).
read_only() {
  local flags
  flags=$(run attrib "$(win "$1")" | tr -d '\r')
  flags=${flags%%Z:*}
  [[ $flags == *R* ]]
}
# probe ARGS...: runs the probe; prints its output and sets $status.
probe() { status=0; out=$(run "$probe" "$@" | tr -d '\r') || status=$?; }

head -c 10000 /dev/urandom >"$work/src.bin"
printf 'old target' >"$work/dst.bin"
src=$(win "$work/src.bin") dst=$(win "$work/dst.bin")

# A target held open without sharing cannot be replaced.
hold "$work/dst.bin"
probe copy-progress "$src" "$dst" 20 40
[ "$status" = 1 ] || fail "copy with progress onto a held target gave $status"
[ -z "$out" ] || fail "copy with progress onto a held target sent positions '$out'"
probe copy "$src" "$dst"
[ "$status" = 1 ] || fail "copy onto a held target gave $status"
[ "$(cat "$work/dst.bin")" = "old target" ] || fail "the held target was changed"
release
probe copy-progress "$src" "$dst" 20 40
[ "$status" = 0 ] || fail "copy with progress onto a released target gave $status"
[ "$out" = "28 36 40" ] || fail "positions '$out', expected '28 36 40'"
cmp -s "$work/src.bin" "$work/dst.bin" || fail "copy with progress: target differs from source"

# A source held open by another program cannot be opened without sharing.
rm -f "$work/dst.bin"
hold "$work/src.bin"
probe copy "$src" "$dst"
[ "$status" = 1 ] || fail "copy from a held source gave $status"
probe copy-progress "$src" "$dst" 0 100
[ "$status" = 1 ] || fail "copy with progress from a held source gave $status"
[ ! -e "$work/dst.bin" ] || fail "a copy from a held source created the target"
release
probe copy "$src" "$dst"
[ "$status" = 0 ] || fail "copy from a released source gave $status"
cmp -s "$work/src.bin" "$work/dst.bin" || fail "copy: target differs from source"

# A read-only target (Windows attribute) is replaced by a writable copy.
printf 'read-only target' >"$work/ro.bin"
run attrib +r "$(win "$work/ro.bin")" >/dev/null
read_only "$work/ro.bin" || fail "attrib +r did not make the target read-only"
probe copy "$src" "$(win "$work/ro.bin")"
[ "$status" = 0 ] || fail "copy onto a read-only target gave $status"
cmp -s "$work/src.bin" "$work/ro.bin" || fail "copy onto a read-only target: target differs"
! read_only "$work/ro.bin" || fail "the copy onto a read-only target is read-only"

# Deleting a tree stops at a held file and succeeds once it is free; read-only files go too.
mkdir -p "$work/tree/sub/deeper"
printf a >"$work/tree/a.txt"
printf b >"$work/tree/sub/b.txt"
printf c >"$work/tree/sub/deeper/c.txt"
run attrib +r "$(win "$work/tree/sub/b.txt")" >/dev/null
hold "$work/tree/sub/deeper/c.txt"
probe delete-folder "$(win "$work/tree")"
[ "$status" = 1 ] || fail "deleting a tree with a held file gave $status"
[ -e "$work/tree/sub/deeper/c.txt" ] || fail "the held file was deleted"
release
probe delete-folder "$(win "$work/tree")"
[ "$status" = 0 ] || fail "deleting a released tree gave $status"
[ ! -e "$work/tree" ] || fail "the tree is still there"
echo "4 passed, 0 failed"
