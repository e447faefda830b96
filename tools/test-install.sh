#!/usr/bin/env bash
# Installs the engine from a build tree into a scratch prefix, builds every
# example against the installed package with find_package(Orvix), and replays
# each headless, checking how it ends.
# Usage: tools/test-install.sh BUILD_DIR   (inside the build environment)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(realpath "$1")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null
for file in lib/cmake/Orvix/OrvixConfig.cmake lib/cmake/Orvix/OrvixConfigVersion.cmake \
  include/orvix/GameManager.h share/orvix/rhythm/rhythm share/orvix/rhythm/ox-font.ttf \
  share/orvix/rhythm/sprites/note-spr.txt share/orvix/rhythm/sounds/basement.mp3; do
  [ -e "$scratch/prefix/$file" ] || { echo "test-install: not installed: $file" >&2; exit 1; }
done

# Every example, built against the installed package.
for example in "$source_dir"/examples/*/; do
  name="$(basename "$example")"
  cmake -S "$example" -B "$scratch/$name" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" \
    >"$scratch/configure.txt" 2>&1 || { cat "$scratch/configure.txt" >&2; exit 1; }
  cmake --build "$scratch/$name"
done

# Each example runs headless in its build directory, which holds its files.
printf 'headless:true,\nframe_time:10,\n' >"$scratch/headless.txt"
export ORVIX_CONFIG="$scratch/headless.txt"
fail() { echo "test-install: $1" >&2; tail -n 20 ./*.log >&2; exit 1; }
expect() { [ "$2" = "$3" ] || { printf '%s\n' "$2"; fail "$1: unexpected output"; }; }

cd "$scratch/hello"
# 80 cells wide at one cell a step: the star is out after 81 steps.
expect hello "$(timeout 60 ./hello)" "The star crossed the window in 81 steps."

# The player stands still, so each monster walks the same path around the
# walls every time (0.4 cells a step); the game's own step count depends on
# how soon the searches end, so only its form is checked.
cd "$scratch/chase"
output="$(timeout 60 ./chase)" || fail "chase: did not end"
expect chase "$(head -n 3 <<<"$output")" "Monster 1 reached the player in 93 steps.
Monster 2 reached the player in 183 steps.
Monster 1 reached the player in 93 steps."
grep -qx 'Caught after [0-9]* steps\.' <<<"$output" || fail "chase: not caught"

# The duel over a real loopback connection on a port the system picks: the host
# starts, the guest joins on the port it prints; GUEST_END is how the guest goes.
cd "$scratch/duel"
duel() {  # HOST_MOVES GUEST_MOVES GUEST_END
  ORVIX_LOG=host.log timeout 60 ./duel host 0 "$1" >host.txt &
  local host=$! port=""
  for _ in $(seq 100); do
    port="$(sed -n 's/^Listening on port \([0-9]*\)\.$/\1/p' host.txt)"
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || fail "duel: the host is not listening"
  ORVIX_LOG=guest.log ./duel join "$port" "$2" >guest.txt &
  local guest=$!
  if [ "$3" = drop ]; then
    sleep 2
    kill -KILL "$guest"
  fi
  wait "$guest" || [ "$3" = drop ] || fail "duel: the guest failed"
  wait "$host" || fail "duel: the host failed"
}
# The guest quits after its moves and a second for the host's to arrive.
duel rrrr "lll$(printf '.%.0s' {1..30})q" quit
expect duel "$(tail -n +2 host.txt; cat guest.txt)" "The other player left.
Saw the other player at (57,12).
Saw the other player at (24,12)."
# The guest's process dies after two moves: the host sees the connection drop,
# and ends as cleanly as when the guest quits.
duel "" rd drop
expect "duel, dropped" "$(tail -n +2 host.txt)" "The other player left.
Saw the other player at (61,13)."

# The tutorial's steps in a real window on an X server of their own (kept up
# between them): each opens its window, runs its loop until Q, and exits 0.
cd "$scratch/tutorial"
unset ORVIX_CONFIG
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
  for step in step1 step2; do
    "./$step" & pid=$!
    for _ in $(seq 100); do xdotool search --name Chase >/dev/null && break; sleep 0.1; done
    sleep 0.5
    xdotool key --window "$(xdotool search --name Chase | head -1)" q
    wait "$pid" || { echo "test-install: tutorial: $step did not run and quit on Q" >&2; exit 1; }
  done' || fail "tutorial"
