#!/usr/bin/env bash
# Draws the menu icons from the game's own first frame: the road running to
# the horizon, cropped square and scaled to the usual hicolor sizes. The
# small sizes thicken the lines first, which would otherwise fade to grey.
# The PNGs are kept in the repo, so a package build needs neither the game
# built first nor ImageMagick; run this again after a change to the picture:
#   bash packaging/make-icons.sh [RACER_SIM]   (default build/bin/racer_sim)
set -euo pipefail
cd "$(dirname "$0")/.."
racer_sim=$(realpath "${1:-build/bin/racer_sim}")
icons=$PWD/packaging/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp data/config.txt data/map.txt "$work/"
(cd "$work" && "$racer_sim" --frames 1 --png frame.png)
crop=200
for size in 16 24 32 48 64 128 256; do
  radius=$(( (crop * 2 / size + 5) / 10 ))  # about crop / size / 2.5, rounded
  thicken=()
  [ "$radius" -gt 0 ] && thicken=(-morphology Dilate "Disk:$radius")
  convert "$work/frame.png" -crop "${crop}x${crop}+220+140" +repage "${thicken[@]}" \
    -filter Lanczos -resize "${size}x${size}" -strip -define png:exclude-chunks=date,time \
    "$icons/veltix-race-$size.png"
done
echo "icons written to $icons"
