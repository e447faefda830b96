#!/usr/bin/env bash
# Builds and starts the game from its run directory (inside the build environment).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh build >/dev/null
cd build/run
if [ -x ./rhythm ]; then
  exec ./rhythm "$@"
fi
exec ./orvix_minimal "$@"
