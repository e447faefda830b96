#!/usr/bin/env bash
# The Windows pass: the engine, the rhythm game, its tools and the unit tests
# cross-built for 64-bit Windows with mingw-w64 against SFML 3.1 (built once by
# tools/sfml-windows.sh), the unit tests run under Wine on an X server of
# their own, then the packaged game played in a window under Wine
# (tools/play-windows.sh). Runs in the Windows build environment
# (./dev.sh --windows). Arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${ORVIX_WINDOWS_X:-}" ]; then
  export ORVIX_WINDOWS_X=1
  exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$0" "$@"
fi
source tools/wine-env.sh
source tools/sound-server.sh
dir=build-windows
sfml="$(tools/sfml-windows.sh)"
echo "orvix: Windows pass: $(x86_64-w64-mingw32-g++-posix --version | head -1), $("$wine" --version)"

# One Wine server and its services for every test program, started (and the
# prefix made, the first time) before any, the build's test listing included:
# a program that started them would leave them holding its output open, and
# each start takes seconds. The sound goes to a sound server of the pass's own.
sounds="$(mktemp -d)"
trap 'wine_stop; sound_server_stop; rm -rf "$sounds"' EXIT
sound_server_start "$sounds"
wine_start "$PWD/$dir/wineprefix"
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
tools/build.sh "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSFML_DIR="$sfml/lib/cmake/SFML" -DSFML_STATIC_LIBRARIES=ON -DORVIX_BENCH=OFF \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
ctest --test-dir "$dir" --output-on-failure --timeout 300 "$@"
wine_stop
sound_server_stop

tools/package-windows.sh "$dir"
tools/play-windows.sh "$dir"
