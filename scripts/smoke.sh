#!/usr/bin/env bash
# Starts the built program as a user would, on an X display of its own (Xvfb) with a window
# manager (openbox): with a document from the command line, a window titled with the document's
# path must appear; closed through the window manager, the program must end by itself with status
# 0, having written its settings beside itself. Catches a program that builds and passes its unit
# tests but does not start, show a document or end.
# Usage: scripts/smoke.sh [BUILD_DIR]   (build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/display.sh
build=${1:-build}
# Generous, as the machine may be busy building; a healthy start takes about a second.
limit=${QUILLET_SMOKE_SECONDS:-30}

# The program runs from a folder of its own, so the settings it writes beside itself are this
# run's. A hard link is as good as a copy where the file system allows it.
work=$(mktemp -d "$PWD/$build/smoke.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
ln "$build/quillet" "$work/quillet" 2>/dev/null || cp "$build/quillet" "$work/quillet"
document="$work/smoke letter.rtf"
cp tests/data/rtf/wordpad-bullets.rtf "$document"

fail() {
  echo "smoke: FAILED: $*"
  for log in "$work"/*.log; do
    echo "--- $(basename "$log")"
    cat "$log"
  done
  exit 1
}

start_display "$work" 1280x1024 || fail "Xvfb or openbox did not start"
start_program "$work" "$work/quillet" "$document" || fail "the program was not started"

shows_document() {
  ! program_ended "$work" ||
    fail "the program ended (status $(cat "$work/status")) before showing the document"
  window_titled "$document" >"$work/window"
}
await shows_document || fail "no window titled with $document within $limit s"
read -r window _ _ title <"$work/window"

# Closing through the window manager is the title bar's close button: an unchanged document asks
# nothing, so the program ends by itself.
wmctrl -i -c "$window"
await program_ended "$work" ||
  fail "the program did not end within $limit s of its window being closed"
status=$(cat "$work/status")
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -q '^qlet_Height=' "$work/multi.ini" 2>/dev/null ||
  fail "the program ended without writing its settings beside itself"
[ ! -e "$work/config/quillet" ] || fail "a program in a writable folder wrote its settings elsewhere"
echo "smoke: passed: \"$title\" opened and closed cleanly"
