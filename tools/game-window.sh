# Shared by the scripts that run the built game in a real window: sourced,
# not run. Sets up a scratch copy of the run directory and starts the game in
# it on the current X display, driven by xdotool.
#   game_work RUN_DIR   copies RUN_DIR to a scratch directory and enters it
#   start_game          starts the game, skips the splash, waits for the start screen
# After start_game, $game is the game's process and $window its window.
# GAME_PROGRAM is the command that starts the game (./rhythm unless set).

GAME_PROGRAM=(${GAME_PROGRAM[@]+"${GAME_PROGRAM[@]}"})
[ ${#GAME_PROGRAM[@]} -gt 0 ] || GAME_PROGRAM=(./rhythm)

game=""
window=""
work=""
cleanup_game() {
  if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then kill "$game"; fi
  [ -z "$work" ] || rm -rf "$work"
}
trap cleanup_game EXIT

fail() {
  echo "$(basename "$0"): FAIL: $*" >&2
  echo "--- stdout"; cat stdout.txt 2>/dev/null || true
  echo "--- stderr"; cat stderr.txt 2>/dev/null || true
  echo "--- log (last 40 lines)"; tail -n 40 orvix.log 2>/dev/null || true
  exit 1
}

game_work() {
  work=$(mktemp -d)
  cp -r "$1"/. "$work"/
  # No network manager: nothing here connects, and a port shared with other
  # tests could stop the start-up.
  printf 'networking:false,\n' >>"$work"/ox-config.txt
  cd "$work"
}

# Waits until the log holds a line (fixed text) at least COUNT times; the
# game may run slower than real time on a busy machine.
wait_log() {
  for _ in $(seq 600); do
    [ "$(grep -cF -- "$1" orvix.log 2>/dev/null || true)" -ge "$2" ] && return 0
    kill -0 "$game" 2>/dev/null || fail "the game ended while waiting for '$1'"
    sleep 0.1
  done
  fail "waited in vain for '$1' x $2"
}

# Starts the game, waits for its window and gives it the keyboard, then skips
# the splash and waits for the start screen. The window is looked for among
# the shown ones: one created but not yet shown refuses the focus (BadMatch).
start_game() {
  rm -f orvix.log
  "${GAME_PROGRAM[@]}" >stdout.txt 2>stderr.txt &
  game=$!
  window=""
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Orvix$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$game" 2>/dev/null || fail "the game ended before its window opened"
    sleep 0.1
  done
  [ -n "$window" ] || fail "no window"
  xdotool windowraise "$window"
  # A window the server has not made viewable yet still refuses the focus
  # (BadMatch): ask again until it takes it.
  local tries=0
  until timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -lt 20 ] || fail "the window never took the focus"
    sleep 0.2
  done
  sleep 1
  xdotool key space
  wait_log "Looking for sprite 'gamestart'." 1
  sleep 1
}
