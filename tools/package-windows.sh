#!/usr/bin/env bash
# Makes the zip a Windows player unpacks and runs: the rhythm game's program
# with its configuration, font, sprites and sounds, laid out as the working
# directory it runs from, with the licences of the libraries built into it.
# Checks that the program needs no DLL beyond Windows' own.
#   tools/package-windows.sh [BUILD_DIR]   (in ./dev.sh --windows; default build-windows)
# Writes BUILD_DIR/dist/orvix-rhythm-win64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build-windows}")"
name=orvix-rhythm-win64
# The DLLs every 64-bit Windows has; anything else would have to ship beside the program.
SYSTEM_DLLS="ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll OPENGL32.dll USER32.dll WINMM.dll \
WS2_32.dll ole32.dll SHELL32.dll IMM32.dll bcrypt.dll"
fail() {
  echo "package-windows: FAIL: $*" >&2
  exit 1
}

[ -f "$build/run/rhythm.exe" ] || fail "no $build/run/rhythm.exe; build the Windows pass first"
sfml="$(sed -n 's#^SFML_DIR:[A-Z]*=\(.*\)/lib/cmake/SFML$#\1#p' "$build/CMakeCache.txt")"
for dll in $(x86_64-w64-mingw32-objdump -p "$build/run/rhythm.exe" | sed -n 's/^\tDLL Name: //p'); do
  case " ${SYSTEM_DLLS,,} " in
    *" ${dll,,} "*) ;;
    *) fail "rhythm.exe needs $dll, which Windows does not bring" ;;
  esac
done

stage="$build/dist/$name"
rm -rf "$stage" "$stage.zip"
mkdir -p "$stage/licenses"
cp "$build/run/rhythm.exe" "$build/run/ox-config.txt" "$build/run/ox-font.ttf" "$stage/"
cp -r "$build/run/sprites" "$build/run/sounds" "$stage/"
x86_64-w64-mingw32-strip "$stage/rhythm.exe"
cp "$sfml"/licenses/* "$stage/licenses/"
cp /usr/share/doc/fonts-dejavu-core/copyright "$stage/licenses/ox-font-DejaVu.txt"
sed 's/$/\r/' >"$stage/README.txt" <<'TEXT'
Orvix rhythm: a four-lane drum game.

Run rhythm.exe from this folder (it reads its files from the folder it runs in).
P starts the song; Z, X, C and V play the bass, tom, snare and cymbal when a
note reaches the line; Q quits. The game writes its log, orvix.log, here.

Built with SFML (zlib licence), and, inside it, FreeType, HarfBuzz,
SheenBidi, Ogg, Vorbis and FLAC; portions of this software are copyright
(c) The FreeType Project (www.freetype.org). All rights reserved. The
licences are in licenses/; the font is DejaVu Sans Mono.
TEXT
(cd "$stage" && zip -qr "../$name.zip" .)
echo "package-windows: $build/dist/$name.zip, $(du -k "$build/dist/$name.zip" | cut -f1) KiB"
