#!/usr/bin/env bash
# Sets up the build environment, builds, and runs the whole test suite.
# Extra arguments go to ctest, e.g. ./test.sh -R Config or ./test.sh -L unit
source "$(dirname "$0")/tools/buildenv.sh"
cd "$ORVIX_SRC"
run_env tools/test-all.sh "$@"
