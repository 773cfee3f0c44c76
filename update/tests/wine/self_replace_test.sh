#!/usr/bin/env bash
# The self-replace run on a real inherited process handle: the staged updater waits until
# the old one (which holds the installed file open without sharing) has exited, then moves
# itself over the installed file and removes the staging folder.
source "$(dirname "$0")/../../../tests/wine/lib.sh"
probe=$1
make_scratch
mkdir -p "$SCRATCH/inst/nvt_update_self_folder"
printf 'old updater' >"$SCRATCH/inst/update.exe"
cp "$probe" "$SCRATCH/inst/nvt_update_self_folder/update.exe"
wine_run "$probe" replace-parent "$(winpath "$SCRATCH/inst/nvt_update_self_folder/update.exe")" \
  "$(winpath "$SCRATCH/inst/update.exe")" 1500 || fail "the old updater could not start the staged one"
wait_for 20 test ! -e "$SCRATCH/inst/nvt_update_self_folder" || fail "the staging folder stays"
cmp -s "$probe" "$SCRATCH/inst/update.exe" || fail "update.exe was not replaced by the staged copy"
echo "self replace: 1 passed, 0 failed"
