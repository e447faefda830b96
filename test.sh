#!/usr/bin/env bash
# Sets up the build environment, builds, and runs the whole test suite, then
# the Windows pass: the platform layer cross-built for Windows and tested
# under Wine. Extra arguments go to ctest, e.g. ./test.sh -R Config or
# ./test.sh -L unit
source "$(dirname "$0")/tools/buildenv.sh"
cd "$ORVIX_SRC"
run_env tools/test-all.sh "$@"
run_windows_env tools/test-windows.sh "$@"
