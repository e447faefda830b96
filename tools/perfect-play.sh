#!/usr/bin/env bash
# Plays the whole song of the built game in a real window at perfect timing,
# on an X server of its own (Xvfb): build/perfect-play presses P and then the
# lane key of every note of the game's chart at the P press + (entry + 63) x
# the frame time. Prints the final score, the music's clock against the step
# clock when the music stops (and the largest difference during the song),
# how punctual the presses were, the "Can't keep up!" lines and the load.
#   ./dev.sh tools/perfect-play.sh [--pulse] [--early MS] [BUILD_DIR]
# --pulse plays the sound through a private PulseAudio server with a null
# sink (client latency PULSE_LATENCY_MSEC when set, else the game's own); without it no
# sound server is reachable and the audio library falls back to its null
# device. --early presses the lane keys MS milliseconds before those times.
# The game's log stays in BUILD_DIR/perfect-play.log. With a Windows build
# (./dev.sh --windows tools/perfect-play.sh --pulse build-windows) the game
# and the player run under Wine.
set -euo pipefail
if [ -z "${PERFECT_PLAY_X:-}" ]; then
  export PERFECT_PLAY_X=1
  exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$0" "$@"
fi
pulse=0
early=0
while [ $# -gt 0 ]; do
  case "$1" in
    --pulse) pulse=1; shift ;;
    --early) early="$2"; shift 2 ;;
    *) break ;;
  esac
done
build_dir=$(realpath "${1:-build}")
# A Windows build (build-windows, in ./dev.sh --windows) plays under Wine.
wine_stop() { :; }
if [ -f "$build_dir/perfect-play.exe" ]; then
  source "$(dirname "$0")/wine-env.sh"
  player=("$wine" "$build_dir/perfect-play.exe")
  GAME_PROGRAM=("$wine" rhythm.exe)
else
  player=("$build_dir/perfect-play")
fi
[ -f "${player[-1]}" ] || { echo "perfect-play: no ${player[-1]}; build first" >&2; exit 1; }

source "$(dirname "$0")/game-window.sh"
source "$(dirname "$0")/sound-server.sh"
stop_all() {
  sound_server_stop
  cleanup_game
  wine_stop
}
trap stop_all EXIT
game_work "$build_dir/run"

export ALSA_CONFIG_PATH=/dev/null
if [ "$pulse" = 1 ]; then
  mkdir -p "$work/pulse"
  sound_server_start "$work/pulse"
  sound="PulseAudio null sink, PULSE_LATENCY_MSEC=${PULSE_LATENCY_MSEC:-unset, the game chooses}"
else
  export PULSE_SERVER="unix:$work/no-server"
  sound="no sound server"
fi

if [ -n "${wine:-}" ]; then
  wine_start "$build_dir/wineprefix"
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
fi
start_game
# (A Windows console program ends its lines with CR LF, which xdotool would
# take as part of the key's name; sed -u passes each line on at once.)
# xdotool sends a key's press and release as two requests; raised where the
# system allows it (as the game's loop is), a busy machine does not hold the
# release back, so that each stroke reaches the game as one.
("${player[@]}" "$early" 2>player.txt | sed -u 's/\r$//' | nice -n -11 xdotool - 2>xdotool.txt) &
player_pid=$!
if [ "$pulse" = 1 ]; then
  sleep 3
  pactl list short sink-inputs | grep -q . || fail "the game plays nothing on the sound server"
fi
wait "$player_pid" || fail "the player failed: $(cat player.txt)"
# The song ends the game by itself.
for _ in $(seq 300); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$game" || status=$?
game=""
cp orvix.log "$build_dir/perfect-play.log"
[ "$status" -eq 0 ] || fail "the game's exit code was $status"

echo "perfect-play: sound: $sound;" \
  "$(grep -oE "Playing audio on '[^']*'|No audio playback device opened" orvix.log | head -n 1 || true)"
tr -d '\r' <stdout.txt
tr -d '\r' <player.txt
grep -F 'Conductor::playStep(): Music stops' orvix.log | sed -E 's/^.*Conductor::playStep\(\): /perfect-play: /' ||
  echo "perfect-play: no drift line in the log"
# The rows at which the notes were hit (the perfect window is rows 17 to 18
# on 24 rows, a quarter row a step), with their points.
{ grep -F 'Note::score(): ' orvix.log || true; } | sed -nE 's/.* hit at row ([0-9.]+): ([0-9]+) points\./\1:\2/p' |
  sort | uniq -c | awk '{ s = s " " $2 " x" $1 } END { print "perfect-play: hits at row:points x count:" s }'
echo "perfect-play: Can't keep up: $(grep -c "Can't keep up!" orvix.log || true)" \
  "lines; load average $(cut -d' ' -f1-3 /proc/loadavg)"
