#!/usr/bin/env bash
# Regenerates the game's sounds in data/sounds/: builds the generator and runs it
# inside the build environment, which has the lame encoder. The output is the
# same on every run; commit the MP3s so the game needs no encoder.
# Usage: tools/gensounds.sh [BUILD_DIR]   (default: build-tools)
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-tools}"
if [ ! -f "$dir/build.ninja" ]; then
  ./dev.sh cmake -S . -B "$dir" -G Ninja -DORVIX_TESTS=OFF -DORVIX_BENCH=OFF >/dev/null
fi
./dev.sh cmake --build "$dir" --target orvix_gensounds
./dev.sh "$dir/gensounds" data/sounds "$dir/gensounds-work"
