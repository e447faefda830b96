#!/usr/bin/env bash
# Configures and builds one build tree inside the build environment. The
# configure step always runs (it is quick when nothing changed), so options
# given here take effect on an existing tree too.
# Usage: tools/build.sh BUILD_DIR [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"
shift
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! cmake -S . -B "$dir" -G Ninja "$@" >"$log" 2>&1; then
  cat "$log" >&2
  echo "orvix: configuring $dir failed" >&2
  exit 1
fi
grep -E '^-- Orvix:' "$log" || true
cmake --build "$dir" -j "$(nproc)"
