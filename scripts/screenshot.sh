#!/usr/bin/env bash
# Makes docs/screenshot.png, the README's picture: the built program on an X display of its own
# with a rich-text document open, its frame captured without the window manager's border.
# Run by hand after the frame changes: scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/display.sh
build=${1:-build}
limit=30
# ImageMagick's import takes the picture.
scripts/deps.sh imagemagick
QUILLET_TARGETS=quillet scripts/build.sh "$build"

work=$(mktemp -d "$PWD/$build/screenshot.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "screenshot: FAILED: $*"
  cat "$work"/*.log
  exit 1
}

ln "$build/quillet" "$work/quillet" 2>/dev/null || cp "$build/quillet" "$work/quillet"
document="$work/Sample.rtf"
cp tests/data/rtf/rtf-richedit/sample/source.rtf "$document"
# The frame's place and size, in twips (15 to a pixel here): 860 by 560 pixels at the corner.
printf '[SIZE]\nqlet_Left=0\nqlet_Top=0\nqlet_Width=12900\nqlet_Height=8400\n' >"$work/multi.ini"

start_display "$work" 1024x768 || fail "Xvfb or openbox did not start"
start_program "$work" "$work/quillet" "$document" || fail "the program was not started"
await window_titled "$document" >"$work/window" || fail "no window showed $document"
read -r window _ <"$work/window"
# The window is up; give the status panels and the ruler time to be painted.
sleep 2
import -window "$window" docs/screenshot.png
echo "screenshot: docs/screenshot.png"
