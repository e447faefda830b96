#!/usr/bin/env bash
# The whole test suite, run inside the build environment: the normal build
# with every test (graphics under Xvfb), then the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer. Arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
export ALSA_CONFIG_PATH=/dev/null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

tools/build.sh build
xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" \
  ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600 "$@"

echo "orvix: sanitizer pass (address, undefined)"
tools/build.sh build-asan -DORVIX_SANITIZE=ON -DORVIX_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" --timeout 900 -L unit "$@"
