#!/usr/bin/env bash
# Installs the engine from a build tree into a scratch prefix, builds the
# example game against the installed package with find_package(Orvix), and
# runs it headless until its star has left the window.
# Usage: tools/test-install.sh BUILD_DIR   (inside the build environment)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(realpath "$1")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null
for file in lib/cmake/Orvix/OrvixConfig.cmake lib/cmake/Orvix/OrvixConfigVersion.cmake \
  include/orvix/GameManager.h share/orvix/rhythm/rhythm share/orvix/rhythm/ox-font.ttf \
  share/orvix/rhythm/sprites/note-spr.txt share/orvix/rhythm/sounds/basement.mp3; do
  [ -e "$scratch/prefix/$file" ] || { echo "test-install: not installed: $file" >&2; exit 1; }
done

cmake -S "$source_dir/examples/hello" -B "$scratch/hello" -G Ninja \
  -DCMAKE_PREFIX_PATH="$scratch/prefix" >"$scratch/configure.txt" 2>&1 ||
  { cat "$scratch/configure.txt" >&2; exit 1; }
cmake --build "$scratch/hello"

mkdir "$scratch/run"
cd "$scratch/run"
printf 'headless:true,\nframe_time:1,\n' >ox-config.txt
output="$("$scratch/hello/hello")"
echo "$output"
# 80 cells wide at one cell a step: the star is out after 81 steps.
[ "$output" = "The star crossed the window in 81 steps." ] ||
  { echo "test-install: unexpected output" >&2; tail -n 20 orvix.log >&2; exit 1; }
