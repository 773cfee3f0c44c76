# Shared by the Wine test scripts: run a program in the run's prefix, spell a Linux path as
# Wine sees it, read the prefix user's data folder, fail loudly, and wait for a condition.
# shellcheck shell=bash
set -euo pipefail
: "${NORVEX_WINE_TOOL:?run from ctest}" "${NORVEX_WINE_STATE:?run from ctest}"

wine_run() { "$NORVEX_WINE_TOOL" run "$NORVEX_WINE_STATE" "$@"; }
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
# The prefix user's "Local AppData" folder as the registry holds it, spelt the Windows way.
wine_local_app_data() {
  wine_run reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' /v 'Local AppData' |
    tr -d '\r' | sed -n 's/^ *Local AppData *REG_[A-Z_]* *//p'
}
fail() { echo "FAIL: $*"; exit 1; }
# wait_for SECONDS COMMAND...: true as soon as COMMAND succeeds.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.1; done
}
# ended PID: true once the process is gone (for wait_for).
ended() { ! kill -0 "$1" 2>/dev/null; }
# A fresh folder for the test in $SCRATCH, removed when the script ends.
make_scratch() { SCRATCH=$(mktemp -d /tmp/norvex-wine-XXXXXX); trap 'rm -rf "$SCRATCH"' EXIT; }
