#!/usr/bin/env bash
# Soak of the sanitizer build of the game: plays the whole song (about 56 s)
# in a real window, on an X server of its own (Xvfb), from a scratch copy of
# the run directory, pressing the four lane keys throughout, until the end of
# the song ends the game and closes its window. Passes on exit status 0, no
# sanitizer report, the window gone, drums heard and a log that ends with the
# engine's stop.
# Usage: tools/soak.sh RUN_DIR   (inside the build environment; the run
# directory of a build configured with -DORVIX_SANITIZE=ON, e.g. build-asan/run)
set -euo pipefail
if [ -z "${SOAK_X:-}" ]; then
  export SOAK_X=1
  exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$0" "$@"
fi
export ALSA_CONFIG_PATH=/dev/null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_dir=$(realpath "$1")
# The song's steps at 33 ms; a slow machine gets four times as long.
limit=240

source "$(dirname "$0")/game-window.sh"
game_work "$run_dir"

start_game
xdotool key p
start=$SECONDS
presses=0
while kill -0 "$game" 2>/dev/null; do
  [ $((SECONDS - start)) -lt "$limit" ] || fail "the song did not end within $limit s"
  # The window goes away at the end of the song; a key press then lands nowhere.
  xdotool key --delay 20 z x c v 2>/dev/null || true
  presses=$((presses + 4))
  sleep 0.05
done
played=$((SECONDS - start))
status=0
wait "$game" || status=$?
game=""
[ "$status" -eq 0 ] || fail "exit status $status"
! grep -Eq 'Sanitizer|runtime error:' stderr.txt || fail "a sanitizer report"
[ -z "$(xdotool search --name '^Orvix$' 2>/dev/null || true)" ] || fail "the window is still open"
grep -q 'Sound::play(): Playing sound\.' orvix.log || fail "no drum was played"
tail -n 3 orvix.log | grep -q '\*\* Game engine stopped \*\*' ||
  fail "the log does not end with the engine's stop"
echo "soak: song played to its end in ${played} s, ${presses} key presses," \
  "$(grep -E '^Score:' stdout.txt); exit status 0, no sanitizer report"
