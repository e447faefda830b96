#!/usr/bin/env bash
# Builds and starts the game from its run directory (inside the build environment).
# The build's output is shown only when the build fails.
set -euo pipefail
cd "$(dirname "$0")/.."
log="$(mktemp)"
if ! tools/build.sh build >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "orvix: the build failed; the game was not started" >&2
  exit 1
fi
rm -f "$log"
cd build/run
if [ -x ./rhythm ]; then
  exec ./rhythm "$@"
fi
exec ./orvix_minimal "$@"
