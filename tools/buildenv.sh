#!/usr/bin/env bash
# The build environment of Orvix.
#
# The engine needs SFML 3. Where the host's CMake finds it, everything runs
# natively. Otherwise a Debian testing root is made once (outside the checkout,
# shared by every clone) and commands run inside it with the checkout mounted at
# the same path. Sourced by dev.sh, test.sh and run.sh.

set -euo pipefail

ORVIX_SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ORVIX_CACHE="${ORVIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvix}"
ORVIX_ROOT="${ORVIX_ROOT:-$ORVIX_CACHE/root-forky}"
ORVIX_SUITE="forky"

# What the root holds. A change to this list updates an existing root.
ORVIX_PACKAGES="g++ cmake ninja-build pkg-config libsfml-dev libgtest-dev libgmock-dev \
libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core lame \
libgl1-mesa-dri ca-certificates clang libclang-rt-dev"

say() { echo "orvix: $*" >&2; }

# True when the host itself can build against SFML 3.
host_has_sfml3() {
  [ "${ORVIX_FORCE_ROOT:-0}" = 1 ] && return 1
  command -v cmake >/dev/null 2>&1 || return 1
  local probe
  probe="$(mktemp -d)"
  cat >"$probe/CMakeLists.txt" <<'CM'
cmake_minimum_required(VERSION 3.22)
project(probe NONE)
find_package(SFML 3 COMPONENTS Graphics Window System Audio QUIET)
if(NOT SFML_FOUND)
  message(FATAL_ERROR "no SFML 3")
endif()
CM
  if cmake -S "$probe" -B "$probe/b" >/dev/null 2>&1; then rm -rf "$probe"; return 0; fi
  rm -rf "$probe"
  return 1
}

# The Debian mirror the host's own apt uses.
host_mirror() {
  local uri=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    uri="$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)"
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri="$(awk '/^deb / && $0 !~ /security/ {for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) {print $i; exit}}' /etc/apt/sources.list)"
  fi
  [ -n "$uri" ] || { say "cannot find a Debian mirror in the host's apt sources"; return 1; }
  echo "$uri"
}

packages_stamp() { echo "$ORVIX_PACKAGES" | tr -s ' ' '\n' | sort | sha256sum | cut -c1-16; }

# Run a command in the root with /proc, /dev and /sys mounted, in a private
# mount namespace so nothing leaks into the host's mounts. Extra bind mounts
# come from the array ORVIX_BINDS (host paths, mounted at the same path).
in_root() {
  local binds=("$ORVIX_SRC" ${ORVIX_BINDS[@]+"${ORVIX_BINDS[@]}"})
  local script='set -e; R="$1"; shift
    mount -t proc proc "$R/proc"
    mount --rbind /dev "$R/dev"
    mount --rbind /sys "$R/sys"
    while [ "$1" != "--" ]; do
      mkdir -p "$R$1"
      if [ -d "$1" ]; then mount --bind "$1" "$R$1"; else touch "$R$1"; mount --bind "$1" "$R$1"; fi
      shift
    done
    shift
    exec chroot "$R" "$@"'
  unshare -m --propagation private -- bash -c "$script" orvix "$ORVIX_ROOT" "${binds[@]}" -- \
    /usr/bin/env -i HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" ${ORVIX_ENV[@]+"${ORVIX_ENV[@]}"} "$@"
}

root_install() {
  cp /etc/resolv.conf "$ORVIX_ROOT/etc/resolv.conf"
  ORVIX_BINDS=()
  ORVIX_ENV=(DEBIAN_FRONTEND=noninteractive)
  in_root bash -c "
    apt-get -o Acquire::Check-Valid-Until=false -qq update &&
    apt-get -qq install -y --no-install-recommends $ORVIX_PACKAGES >/dev/null"
  ORVIX_ENV=()
  packages_stamp >"$ORVIX_ROOT/.orvix-packages"
}

# Create or update the root. Idempotent, and locked so parallel callers wait.
ensure_root() {
  mkdir -p "$ORVIX_CACHE"
  exec 9>"$ORVIX_CACHE/root.lock"
  flock 9
  if [ ! -f "$ORVIX_ROOT/.orvix-complete" ]; then
    command -v debootstrap >/dev/null 2>&1 || {
      say "installing debootstrap"
      apt-get -qq install -y debootstrap >/dev/null 2>&1 ||
        { apt-get -qq update >/dev/null && apt-get -qq install -y debootstrap >/dev/null; }
    }
    local mirror
    mirror="$(host_mirror)"
    say "creating a Debian $ORVIX_SUITE root in $ORVIX_ROOT (once; about a minute)"
    rm -rf "$ORVIX_ROOT"
    debootstrap --variant=minbase "$ORVIX_SUITE" "$ORVIX_ROOT" "$mirror" \
      /usr/share/debootstrap/scripts/sid >"$ORVIX_CACHE/debootstrap.log" 2>&1 ||
      { say "debootstrap failed; see $ORVIX_CACHE/debootstrap.log"; exit 1; }
    root_install
    touch "$ORVIX_ROOT/.orvix-complete"
  elif [ "$(cat "$ORVIX_ROOT/.orvix-packages" 2>/dev/null)" != "$(packages_stamp)" ]; then
    say "updating the packages of $ORVIX_ROOT"
    root_install
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
