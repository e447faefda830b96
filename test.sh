#!/usr/bin/env bash
# Sets up the build environment, builds, and runs the whole test suite, then
# the Windows pass: the engine, the game and its tests cross-built for
# Windows, tested and played under Wine. Extra arguments go to ctest, e.g. ./test.sh -R Config or
# ./test.sh -L unit
source "$(dirname "$0")/tools/buildenv.sh"
cd "$ORVIX_SRC"
run_env tools/test-all.sh "$@"
run_windows_env tools/test-windows.sh "$@"
