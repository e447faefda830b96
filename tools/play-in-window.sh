#!/usr/bin/env bash
# Plays the built game in a real window as a person would, on an X server of
# its own (Xvfb, kept up between clients), driven by xdotool, from a scratch
# copy of the run directory.
#   1. A key skips the splash; Q on the start screen quits: exit code 0 and a
#      score of 0 without the song.
#   2. A key skips the splash; P starts the song; the four lane keys are held
#      a while; Q quits: exit code 0, a score above 0, drum sounds in the log,
#      and the log ends with the engine's stop.
# Leaves screenshots to look at in SHOT_DIR: start.png (the start screen),
# song.png (notes falling, the line, the pads and the score), held.png (while
# the lane keys are held).
# Usage: tools/play-in-window.sh RUN_DIR SHOT_DIR   (inside the build environment)
set -euo pipefail
if [ -z "${PLAY_IN_WINDOW_X:-}" ]; then
  export PLAY_IN_WINDOW_X=1
  exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$0" "$@"
fi
run_dir=$(realpath "$1")
shot_dir=$(realpath -m "$2")
mkdir -p "$shot_dir"
rm -f "$shot_dir"/*.png

source "$(dirname "$0")/game-window.sh"
game_work "$run_dir"

shot() { import -window "$window" "$shot_dir/$1.png" || fail "screenshot $1"; }
# Share of the screenshot's pixels in one exact colour, within a region
# (WxH+X+Y) when one is given.
share() { convert "$shot_dir/$1.png" ${3:+-crop "$3" +repage} -fill black +opaque "$2" \
  -fill white -opaque "$2" -format '%[fx:mean]' info:; }

# Presses Q and checks the game ended well; sets score to the final score.
quit_game() {
  xdotool key q
  local status=0
  wait "$game" || status=$?
  game=""
  [ "$status" -eq 0 ] || fail "exit code $status"
  grep -Eq '^Score: [0-9]+ of 3620$' stdout.txt || fail "no final score printed"
  tail -n 3 orvix.log | grep -q '\*\* Game engine stopped \*\*' ||
    fail "the log does not end with the engine's stop"
  score=$(sed -nE 's/^Score: ([0-9]+) of 3620$/\1/p' stdout.txt)
}

# 1. Q on the start screen.
start_game
quit_game
[ "$score" -eq 0 ] || fail "score $score without the song"
! grep -q 'Music::play()' orvix.log || fail "the song started"

# 2. The song.
start_game
shot start
xdotool key p
wait_log "Looking for sprite 'note'." 4 # notes on the way down
sleep 1
shot song
xdotool keydown z x c v
wait_log "Sound::play(): Playing sound." 2
sleep 2
shot held
xdotool keyup z x c v
quit_game
[ "$score" -gt 0 ] || fail "holding the lane keys scored nothing"
grep -q 'Music::play(): Playing music\.' orvix.log || fail "the music did not start"

# What a player sees: the cyan title on the start screen; the yellow notes,
# the white line, the red pads and score during the song, and no title.
[ "$(share start 'rgb(0,255,255)')" != 0 ] || fail "no title on the start screen"
for colour in 'rgb(255,255,0)' 'rgb(255,255,255)' 'rgb(255,0,0)'; do
  [ "$(share song "$colour")" != 0 ] || fail "nothing in $colour during the song"
done
[ "$(share song 'rgb(0,255,255)')" = 0 ] || fail "the title is still shown during the song"
# The score at the top in the middle, not at the left; each pad's red ring
# under its lane (the rings' tops are at y 597 to 599).
red='rgb(255,0,0)'
[ "$(share song "$red" 200x90+412+0)" != 0 ] || fail "no score at the top in the middle"
[ "$(share song "$red" 400x90+0+0)" = 0 ] || fail "something red at the top left"
for x in 290 440 590 740; do
  [ "$(share song "$red" "20x6+$x+595")" != 0 ] || fail "no pad ring at x $((x + 10))"
done

echo "play-in-window: score $score of 3620; screenshots in $shot_dir"
