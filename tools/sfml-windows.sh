#!/usr/bin/env bash
# Builds SFML 3.1 for 64-bit Windows with mingw-w64, statically, into the
# Windows build's cache, once: it is rebuilt only when its inputs (the sources'
# checksums, this script, the toolchain file, the compiler or CMake) change.
# Prints the installed prefix, which a build names with -DSFML_DIR=PREFIX/lib/cmake/SFML.
#
# The sources come from ORVIX_DEPS (by default shared/deps beside the
# checkout): SFML's release and the libraries its CMake would fetch, each
# checked against tools/sfml-windows.sha256. Where that folder is absent, SFML's
# release is downloaded (and checked the same way) and SFML's CMake fetches its
# libraries itself, at the tags it pins. Runs in the Windows build environment
# (./dev.sh --windows).
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
sums="$src/tools/sfml-windows.sha256"
toolchain="$src/cmake/mingw-w64.cmake"
cache="${ORVIX_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvix/windows}"
deps="${ORVIX_DEPS:-$(cd "$src/.." && pwd)/shared/deps}"
sfml_archive=SFML-3.1.0.tar.gz
sfml_url=https://github.com/SFML/SFML/archive/refs/tags/3.1.0.tar.gz
say() { echo "orvix: $*" >&2; }
fail() {
  say "$*"
  exit 1
}

# The libraries SFML's CMake fetches: its name for each (FETCHCONTENT_SOURCE_DIR_<NAME>),
# the source archive, and the patch script SFML runs on a fetched tree.
LIBRARIES=(
  "FREETYPE freetype_2.14.3+dfsg.orig.tar.xz freetype/PatchFreetype.cmake"
  "HARFBUZZ harfbuzz_12.3.2.orig.tar.xz harfbuzz/PatchHarfBuzz.cmake"
  "SHEENBIDI sheenbidi_3.0.0.orig.tar.xz sheenbidi/PatchSheenBidi.cmake"
  "OGG libogg_1.3.6.orig.tar.xz ogg/PatchOgg.cmake"
  "FLAC flac_1.5.0+ds.orig.tar.xz flac/PatchFLAC.cmake"
  "VORBIS libvorbis_1.3.7.orig.tar.gz vorbis/PatchVorbis.cmake"
)

for tool in x86_64-w64-mingw32-g++-posix cmake ninja sha256sum tar; do
  command -v "$tool" >/dev/null || fail "missing $tool: run this in the Windows build environment (./dev.sh --windows $0)"
done
cmake_version="$(cmake --version | head -1)"
[ "$(printf '3.28\n%s\n' "${cmake_version##* }" | sort -V | head -1)" = 3.28 ] || fail "SFML 3.1 needs CMake 3.28 or newer; this is $cmake_version"

# Where the sources come from, and the archives to check.
if [ -d "$deps" ]; then
  origin="$deps"
  archives=("$sfml_archive")
  for entry in "${LIBRARIES[@]}"; do
    read -r _ archive _ <<<"$entry"
    archives+=("$archive")
  done
else
  say "no sources folder at $deps (ORVIX_DEPS names another); downloading SFML's release"
  origin="$cache/downloads"
  archives=("$sfml_archive")
  mkdir -p "$origin"
  if [ ! -f "$origin/$sfml_archive" ]; then
    command -v curl >/dev/null || fail "missing curl to download $sfml_url"
    curl -fsSL -o "$origin/$sfml_archive.part" "$sfml_url" ||
      fail "cannot download $sfml_url; put the sources in a folder and name it with ORVIX_DEPS"
    mv "$origin/$sfml_archive.part" "$origin/$sfml_archive"
  fi
fi
for archive in "${archives[@]}"; do
  [ -f "$origin/$archive" ] ||
    fail "missing $origin/$archive: the folder needs every file $sums lists (as shared/deps beside the checkout has them)"
  grep " $archive\$" "$sums" | (cd "$origin" && sha256sum --quiet -c -) ||
    fail "$origin/$archive does not match its checksum in $sums"
done

stamp="$({
  cat "$sums" "$0" "$toolchain"
  echo "$origin" "${archives[*]}" "$cmake_version"
  x86_64-w64-mingw32-g++-posix --version | head -1
} | sha256sum | cut -c1-16)"
prefix="$cache/sfml-3.1.0-$stamp"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

say "building SFML 3.1 for Windows into $prefix (once; several minutes)"
work="$prefix.build"
rm -rf "$work" "$prefix"
mkdir -p "$work/_deps"
tar -xzf "$origin/$sfml_archive" -C "$work"
sfml="$work/SFML-3.1.0"
options=()
if [ "$origin" = "$deps" ]; then
  # Each library unpacked where SFML's CMake keeps its fetched trees, patched
  # as its fetch would have, and named so that nothing is fetched.
  for entry in "${LIBRARIES[@]}"; do
    read -r name archive patch <<<"$entry"
    lower="$(echo "$name" | tr 'A-Z' 'a-z')"
    tree="$work/_deps/$lower-src"
    mkdir -p "$tree"
    tar -xf "$origin/$archive" -C "$tree" --strip-components=1
    cmake "-D${name}_DIR=$tree" -P "$sfml/tools/$patch" >/dev/null
    options+=("-DFETCHCONTENT_SOURCE_DIR_$name=$tree")
  done
  options+=(-DFETCHCONTENT_FULLY_DISCONNECTED=ON)
fi
log="$work/build.log"
{
  cmake -S "$sfml" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DSFML_USE_STATIC_STD_LIBS=ON -DSFML_USE_SYSTEM_DEPS=OFF -DSFML_BUILD_NETWORK=OFF \
    -DSFML_BUILD_EXAMPLES=OFF -DSFML_BUILD_TEST_SUITE=OFF -DSFML_BUILD_DOC=OFF \
    -DFETCHCONTENT_BASE_DIR="$work/_deps" "${options[@]}" &&
    cmake --build "$work/build" -j "$(nproc)" &&
    cmake --install "$work/build"
} >"$log" 2>&1 || {
  tail -30 "$log" >&2
  fail "building SFML for Windows failed; the whole log is $log"
}
# The licences a program built with these libraries ships with.
mkdir -p "$prefix/licenses"
cp "$sfml/license.md" "$prefix/licenses/SFML.md"
for entry in "${LIBRARIES[@]}"; do
  read -r name _ <<<"$entry"
  lower="$(echo "$name" | tr 'A-Z' 'a-z')"
  # (FLAC's programs are GPL; its library, the part built here, is under COPYING.Xiph.)
  for file in "$work/_deps/$lower-src"/{LICENSE*,COPYING,COPYING.Xiph,docs/FTL.TXT}; do
    [ ! -f "$file" ] || cp "$file" "$prefix/licenses/$lower-$(basename "$file")"
  done
done
touch "$prefix/.complete"
rm -rf "$work"
# Builds from earlier inputs are not used again.
find "$cache" -maxdepth 1 -name 'sfml-3.1.0-*' ! -name "$(basename "$prefix")*" -exec rm -rf {} +
say "SFML 3.1 for Windows is in $prefix"
echo "$prefix"
