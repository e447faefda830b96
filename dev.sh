#!/usr/bin/env bash
# Runs one command inside the build environment, from the current directory;
# with --windows first, inside the Windows cross-build's (mingw-w64 and Wine).
# Example: ./dev.sh cmake --build build
source "$(dirname "$0")/tools/buildenv.sh"
run=run_env
if [ "${1:-}" = --windows ]; then
  run=run_windows_env
  shift
fi
[ $# -gt 0 ] || { echo "usage: ./dev.sh [--windows] COMMAND [ARGS...]" >&2; exit 2; }
$run "$@"
