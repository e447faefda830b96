#!/usr/bin/env bash
# The Windows pass: the platform layer and its tests cross-built for 64-bit
# Windows with mingw-w64, and the tests run under Wine, headless, in a Wine
# prefix of the build's own. Runs in the Windows build environment
# (./dev.sh --windows). Arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-windows
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
export WINEPREFIX="$PWD/$dir/wineprefix" WINEDEBUG=-all DISPLAY=
echo "orvix: Windows pass: $(x86_64-w64-mingw32-g++-posix --version | head -1), $("$wine" --version)"

# One Wine server and its services for every test program, started (and the
# prefix made, the first time) before any, the build's test listing included:
# a program that started them would leave them holding its output open, and
# each start takes seconds.
mkdir -p "$WINEPREFIX"
"$wineserver" -p
trap '"$wineserver" -k' EXIT
"$wine" wineboot >/dev/null 2>&1

tools/build.sh "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DORVIX_PLATFORM_ONLY=ON \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
ctest --test-dir "$dir" --output-on-failure --timeout 300 "$@"
