#!/usr/bin/env bash
# The build environment of Orvix.
#
# The engine needs SFML 3. Where the host's CMake finds it, everything runs
# natively. Otherwise a Debian testing root is made once (outside the checkout,
# shared by every clone) and commands run inside it with the checkout mounted at
# the same path. The Windows cross-build (mingw-w64, run under Wine) has a small
# root of its own, of Debian 12, the release that packages Wine; it too is used
# only where the host lacks those tools. Making a root needs root once; entering
# it does not: a user enters it through a user namespace of their own, so files
# they make stay theirs. Sourced by dev.sh, test.sh and run.sh.

set -euo pipefail

ORVIX_SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Under sudo, the environment is made for the user who asked for it.
if [ -n "${SUDO_USER:-}" ] && [ "$(id -u)" = 0 ] && [ -z "${ORVIX_CACHE:-}" ]; then
  ORVIX_CACHE="$(getent passwd "$SUDO_USER" | cut -d: -f6)/.cache/orvix"
fi
ORVIX_CACHE="${ORVIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvix}"
ORVIX_ROOT="${ORVIX_ROOT:-$ORVIX_CACHE/root-forky}"
ORVIX_SUITE="forky"
# The flag of dev.sh that enters this root ("" for the main one).
ORVIX_DEV_FLAG=""

# What the root holds. A change to this list updates an existing root.
ORVIX_PACKAGES="g++ cmake ninja-build pkg-config libsfml-dev libgtest-dev libgmock-dev \
libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core lame \
libgl1-mesa-dri ca-certificates clang libclang-rt-dev doxygen libpulse0 libasound2t64 \
pulseaudio pulseaudio-utils libtcod-dev"

# The Windows cross-build's root and what it holds.
ORVIX_WINDOWS_ROOT="${ORVIX_WINDOWS_ROOT:-$ORVIX_CACHE/root-bookworm}"
# A "package/suite" entry comes from that suite of the same mirror: SFML 3.1
# needs CMake 3.28, which Debian 12 has only in its backports. The game under
# Wine is tested in a window (Xvfb, xdotool, ImageMagick) with recorded sound.
ORVIX_WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix cmake/bookworm-backports \
cmake-data/bookworm-backports ninja-build googletest wine wine64 ca-certificates xz-utils zip \
unzip xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core libgl1-mesa-dri libpulse0 \
pulseaudio pulseaudio-utils"
# The commands and files a host needs to cross-build and run the Windows pass natively.
WINDOWS_NEEDS=(x86_64-w64-mingw32-g++-posix cmake ninja wineserver /usr/lib/wine/wine64 /usr/src/googletest
  xvfb-run xdotool import parec zip /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf)

say() { echo "orvix: $*" >&2; }
is_root() { [ "$(id -u)" = 0 ]; }

# What a native build needs besides SFML 3: a CMake package or a command or a
# file, and the Debian package that brings it.
NATIVE_NEEDS=(
  "cmake:GTest:libgtest-dev libgmock-dev" "cmake:benchmark:libbenchmark-dev"
  "cmake:X11:libx11-dev" "command:ninja:ninja-build" "command:xvfb-run:xvfb"
  "command:xauth:xauth" "command:xdotool:xdotool" "command:import:imagemagick"
  "file:/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf:fonts-dejavu-core"
)

# True when the host itself can build against SFML 3; then stops with one
# message listing every other need that is missing, with its packages.
host_has_sfml3() {
  [ "${ORVIX_FORCE_ROOT:-0}" = 1 ] && return 1
  command -v cmake >/dev/null 2>&1 || return 1
  local generator=()
  if command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
  elif ! command -v make >/dev/null 2>&1; then
    return 1 # no build tool for the probe: not a host that builds natively
  fi
  local probe need kind name packages missing=()
  probe="$(mktemp -d)"
  {
    echo 'cmake_minimum_required(VERSION 3.22)'
    echo 'project(probe CXX)'
    echo 'find_package(SFML 3 COMPONENTS Graphics Window System Audio QUIET)'
    echo 'if(NOT SFML_FOUND)'
    echo '  message(FATAL_ERROR "no SFML 3")'
    echo 'endif()'
    for need in "${NATIVE_NEEDS[@]}"; do
      IFS=: read -r kind name packages <<<"$need"
      if [ "$kind" = cmake ]; then
        echo "find_package($name QUIET)"
        echo "if(NOT ${name}_FOUND)"
        echo "  message(STATUS \"missing: $packages\")"
        echo 'endif()'
      fi
    done
  } >"$probe/CMakeLists.txt"
  if ! cmake -S "$probe" -B "$probe/b" "${generator[@]}" >"$probe/out.txt" 2>&1; then
    rm -rf "$probe"
    return 1
  fi
  mapfile -t missing < <(sed -n 's/^-- missing: //p' "$probe/out.txt")
  rm -rf "$probe"
  for need in "${NATIVE_NEEDS[@]}"; do
    IFS=: read -r kind name packages <<<"$need"
    case "$kind" in
      command) command -v "$name" >/dev/null 2>&1 || missing+=("$packages") ;;
      file) [ -e "$name" ] || missing+=("$packages") ;;
    esac
  done
  if [ ${#missing[@]} -gt 0 ]; then
    say "this host has SFML 3 but lacks what the build and tests need; on Debian or Ubuntu:"
    say "  sudo apt-get install ${missing[*]}"
    say "(or set ORVIX_FORCE_ROOT=1 to build in the Debian testing root instead)"
    exit 1
  fi
  return 0
}

# The Debian mirror to make the root from: ORVIX_MIRROR, or the one the host's
# own apt uses when that is a Debian mirror. Stops with advice otherwise.
host_mirror() {
  if [ -n "${ORVIX_MIRROR:-}" ]; then
    echo "$ORVIX_MIRROR"
    return
  fi
  local uri=""
  uri="$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
    awk '/^URIs:/ {for (i = 2; i <= NF; i++) print $i}' | grep -m1 '/debian/\?$' || true)"
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri="$(awk '/^deb / && $0 !~ /security/ {for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) print $i}' \
      /etc/apt/sources.list | grep -m1 '/debian/\?$' || true)"
  fi
  if [ -z "$uri" ]; then
    say "cannot find a Debian mirror in this host's package sources."
    say "Name one, e.g.  ORVIX_MIRROR=http://deb.debian.org/debian ./test.sh"
    say "or install SFML 3 (and CMake, GoogleTest, Google Benchmark, Xvfb, xdotool,"
    say "ImageMagick, the X11 headers and the DejaVu fonts) to build natively."
    exit 1
  fi
  echo "$uri"
}

packages_stamp() { echo "$ORVIX_PACKAGES" | tr -s ' ' '\n' | sort | sha256sum | cut -c1-16; }

# Run a command in the root, in a private mount namespace so nothing leaks
# into the host's mounts; as a user, in a user namespace of their own, where
# they are root. The root's directories are put together on a scratch file
# system, with fresh /tmp, /run, /home and /root, so that any host path can
# be mounted in it. Extra bind mounts come from the array ORVIX_BINDS (host
# paths, mounted at the same path).
in_root() {
  local binds=("$ORVIX_SRC" ${ORVIX_BINDS[@]+"${ORVIX_BINDS[@]}"})
  local namespaces=(unshare --mount --propagation private)
  is_root || namespaces=(unshare --user --map-root-user --mount --pid --fork --propagation private)
  mkdir -p "$ORVIX_CACHE/mnt-$(id -u)"
  local script='set -e; R="$1"; T="$2"; shift 2
    PATH=/usr/sbin:/usr/bin:/sbin:/bin
    mount -t tmpfs -o mode=755 orvix "$T"
    for entry in "$R"/*; do
      name="${entry##*/}"
      if [ -L "$entry" ]; then
        ln -s "$(readlink "$entry")" "$T/$name"
      elif [ -d "$entry" ]; then
        mkdir "$T/$name"
        case "$name" in
          proc) mount -t proc proc "$T/proc" ;;
          dev | sys) mount --rbind "/$name" "$T/$name" ;;
          tmp) chmod 1777 "$T/tmp" ;;
          run | home | root) ;;
          *) mount --rbind "$entry" "$T/$name" ;;
        esac
      fi
    done
    while [ "$1" != "--" ]; do
      if [ -d "$1" ]; then mkdir -p "$T$1"; else mkdir -p "$T$(dirname "$1")"; touch "$T$1"; fi
      mount --rbind "$1" "$T$1"
      shift
    done
    shift
    # Not exec (nor the last command, which the shell would exec): as a user
    # this shell is the first process of a new process namespace, its init,
    # which a command cannot always be (a signal without a handler set before
    # it starts never reaches an init).
    chroot "$T" "$@"
    exit $?'
  "${namespaces[@]}" -- bash -c "$script" orvix "$ORVIX_ROOT" "$ORVIX_CACHE/mnt-$(id -u)" \
    "${binds[@]}" -- /usr/bin/env -i HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" ${ORVIX_ENV[@]+"${ORVIX_ENV[@]}"} "$@"
}

# Installs the package list in the root; false when apt fails (no network,
# say), and the root keeps what it had.
root_install() {
  cp /etc/resolv.conf "$ORVIX_ROOT/etc/resolv.conf"
  # The extra suites that "package/suite" entries name, from the root's own mirror.
  local suite mirror
  mirror="$(awk '/^deb / {print $2; exit}' "$ORVIX_ROOT/etc/apt/sources.list")"
  for suite in $(echo "$ORVIX_PACKAGES" | tr -s ' ' '\n' | sed -n 's#.*/##p' | sort -u); do
    echo "deb $mirror $suite main"
  done >"$ORVIX_ROOT/etc/apt/sources.list.d/orvix.list"
  # The caller's binds and environment are for its command, not for apt.
  local ORVIX_BINDS=() ORVIX_ENV=(DEBIAN_FRONTEND=noninteractive)
  in_root bash -c "
    apt-get -o Acquire::Check-Valid-Until=false -qq update &&
    apt-get -qq install -y --no-install-recommends $ORVIX_PACKAGES >/dev/null" || return 1
  packages_stamp >"$ORVIX_ROOT/.orvix-packages"
}

# The one command that makes or updates the root, for a user without root.
sudo_advice() { echo "sudo $ORVIX_SRC/dev.sh $ORVIX_DEV_FLAG${ORVIX_DEV_FLAG:+ }true"; }

# Create or update the root. Idempotent, and locked so parallel callers wait.
ensure_root() {
  mkdir -p "$ORVIX_CACHE"
  exec 9>>"$ORVIX_CACHE/root.lock"
  flock 9
  if [ ! -f "$ORVIX_ROOT/.orvix-complete" ]; then
    if ! is_root; then
      say "the build environment ($ORVIX_ROOT) does not exist yet. Making it needs"
      say "root once; everything after that runs as you."
      flock -u 9
      if [ -t 0 ] && command -v sudo >/dev/null 2>&1; then
        say "asking sudo: $(sudo_advice)"
        sudo "$ORVIX_SRC/dev.sh" $ORVIX_DEV_FLAG true && return 0
      fi
      say "Run:  $(sudo_advice)"
      exit 1
    fi
    command -v debootstrap >/dev/null 2>&1 || {
      say "installing debootstrap"
      apt-get -qq install -y debootstrap >/dev/null 2>&1 ||
        { apt-get -qq update >/dev/null && apt-get -qq install -y debootstrap >/dev/null; } ||
        { say "cannot install debootstrap: install it, or SFML 3 to build natively"; exit 1; }
    }
    local mirror
    mirror="$(host_mirror)"
    say "creating a Debian $ORVIX_SUITE root in $ORVIX_ROOT (once; a few minutes)"
    rm -rf "$ORVIX_ROOT"
    debootstrap --variant=minbase "$ORVIX_SUITE" "$ORVIX_ROOT" "$mirror" \
      /usr/share/debootstrap/scripts/sid >"$ORVIX_CACHE/debootstrap.log" 2>&1 ||
      { say "debootstrap failed; see $ORVIX_CACHE/debootstrap.log"; exit 1; }
    root_install || { say "installing the root's packages failed"; exit 1; }
    touch "$ORVIX_ROOT/.orvix-complete"
    # Made under sudo: the cache is the user's, the root's files stay root's.
    [ -z "${SUDO_USER:-}" ] || chown "$SUDO_USER:" "$ORVIX_CACHE" "$ORVIX_CACHE"/*.lock "$ORVIX_CACHE"/mnt-* \
      "$ORVIX_CACHE"/*.log
  elif [ "$(cat "$ORVIX_ROOT/.orvix-packages" 2>/dev/null)" != "$(packages_stamp)" ]; then
    if ! is_root; then
      say "warning: the build environment's packages are out of date; using it as it is."
      say "Update it with: $(sudo_advice)"
    else
      say "updating the packages of $ORVIX_ROOT"
      root_install || say "warning: updating the packages failed (no network?); using the root as it is"
    fi
  fi
  flock -u 9
}

# Run a command natively or in the root, from the current directory.
ORVIX_BINDS=()
ORVIX_ENV=()
run_env() {
  if host_has_sfml3; then
    "$@"
  else
    ensure_root
    local here="$PWD"
    in_root bash -c 'cd "$0" && exec "$@"' "$here" "$@"
  fi
}

# True when the host has every tool of the Windows pass.
host_has_windows_tools() {
  [ "${ORVIX_FORCE_ROOT:-0}" = 1 ] && return 1
  local need
  for need in "${WINDOWS_NEEDS[@]}"; do
    [ -e "$need" ] || command -v "$need" >/dev/null 2>&1 || return 1
  done
}

# The Windows build's own cache (SFML built for Windows, kept between builds
# and clones) and the folder of third-party sources it is built from.
ORVIX_WINDOWS_CACHE="${ORVIX_WINDOWS_CACHE:-$ORVIX_CACHE/windows}"
ORVIX_DEPS="${ORVIX_DEPS:-$(cd "$ORVIX_SRC/.." && pwd)/shared/deps}"

# Run a command for the Windows cross-build: natively or in its root.
run_windows_env() {
  mkdir -p "$ORVIX_WINDOWS_CACHE"
  if host_has_windows_tools; then
    export ORVIX_WINDOWS_CACHE ORVIX_DEPS
    "$@"
  else
    ORVIX_ROOT="$ORVIX_WINDOWS_ROOT" ORVIX_SUITE=bookworm ORVIX_PACKAGES="$ORVIX_WINDOWS_PACKAGES" \
      ORVIX_DEV_FLAG=--windows
    ensure_root
    ORVIX_BINDS+=("$ORVIX_WINDOWS_CACHE")
    [ ! -d "$ORVIX_DEPS" ] || ORVIX_BINDS+=("$ORVIX_DEPS")
    ORVIX_ENV+=(ORVIX_WINDOWS_CACHE="$ORVIX_WINDOWS_CACHE" ORVIX_DEPS="$ORVIX_DEPS")
    local here="$PWD"
    in_root bash -c 'cd "$0" && exec "$@"' "$here" "$@"
  fi
}
