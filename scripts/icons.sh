#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG into data/icons/hicolor/, for desktops
# that do not draw SVG icons. Run by hand after changing the SVG, and commit the result.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh librsvg2-bin
id=org.vormelin.Quillet
for size in 16 22 24 32 48 64 128 256; do
  folder=data/icons/hicolor/${size}x${size}/apps
  mkdir -p "$folder"
  rsvg-convert --width "$size" --height "$size" "data/icons/$id.svg" --output "$folder/$id.png"
done
echo "icons: rendered into data/icons/hicolor/"
