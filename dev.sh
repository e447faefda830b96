#!/usr/bin/env bash
# Runs one command inside the build environment, from the current directory.
# Example: ./dev.sh cmake --build build
source "$(dirname "$0")/tools/buildenv.sh"
[ $# -gt 0 ] || { echo "usage: ./dev.sh COMMAND [ARGS...]" >&2; exit 2; }
run_env "$@"
