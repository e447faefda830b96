#!/usr/bin/env bash
# Measures what one step of the game costs: the game's CPU time (every thread,
# the software renderer's too) over a stretch of the start screen and of the
# song, divided by the steps in that stretch. Runs the built game in a real
# window on an X server of its own and leaves a screenshot of each screen.
#   ./dev.sh tools/step-cost.sh [RUN_DIR] [SECONDS] [SHOT_DIR]
# Prints one line per screen: CPU ms per step of the game and of the X
# server, steps, wall seconds, and the "Can't keep up!" lines the log holds.
set -euo pipefail
if [ -z "${STEP_COST_X:-}" ]; then
  export STEP_COST_X=1
  exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$0" "$@"
fi
run_dir=$(realpath "${1:-build/run}")
seconds="${2:-10}"
shot_dir=$(realpath -m "${3:-build/step-cost}")
mkdir -p "$shot_dir"

source "$(dirname "$0")/game-window.sh"
game_work "$run_dir"

ticks=$(getconf CLK_TCK)
frame_ms=$(sed -nE 's/^frame_time:([0-9]+),.*/\1/p' ox-config.txt | tail -n 1)
frame_ms="${frame_ms:-33}"
# CPU time of a process so far, in clock ticks (user + system, all threads).
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
xserver=$(pgrep -f "^Xvfb ${DISPLAY} " | head -n 1)
now_ms() { date +%s%3N; }

# The CPU per step over the next stretch, the steps counted by the clock: the
# loop keeps one step every frame time unless the log says it cannot.
measure() {
  local label="$1" c0 x0 t0 c1 x1 t1 keep0 keep1
  keep0=$(grep -c "Can't keep up!" orvix.log || true)
  c0=$(cpu_ticks "$game")
  x0=$(cpu_ticks "$xserver")
  t0=$(now_ms)
  sleep "$seconds"
  c1=$(cpu_ticks "$game")
  x1=$(cpu_ticks "$xserver")
  t1=$(now_ms)
  keep1=$(grep -c "Can't keep up!" orvix.log || true)
  awk -v l="$label" -v c=$((c1 - c0)) -v x=$((x1 - x0)) -v t=$((t1 - t0)) -v hz="$ticks" \
    -v f="$frame_ms" -v k=$((keep1 - keep0)) 'BEGIN {
      steps = t / f
      printf "%-13s game %.2f ms CPU a step, X server %.2f ms, over %d steps (%.1f s); Can'"'"'t keep up: %d\n",
        l, c * 1000 / hz / steps, x * 1000 / hz / steps, steps, t / 1000, k }'
}

start_game
import -window "$window" "$shot_dir/start.png"
measure "start screen"
xdotool key p
sleep 8 # the first notes reach the line
import -window "$window" "$shot_dir/song.png"
measure "song"
xdotool key q
wait "$game" || true
game=""
