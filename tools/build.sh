#!/usr/bin/env bash
# Configures and builds one build tree inside the build environment.
# Usage: tools/build.sh BUILD_DIR [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"
shift
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja "$@" | grep -E 'Orvix:|Error|error' || true
fi
cmake --build "$dir" -j "$(nproc)"
