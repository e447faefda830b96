#!/usr/bin/env bash
# Sets up the build environment, builds, and runs the game in a window on
# your display, with your sound.
source "$(dirname "$0")/tools/buildenv.sh"
cd "$ORVIX_SRC"
if [ -z "${DISPLAY:-}" ]; then
  echo "orvix: no display (DISPLAY is not set); run this from a graphical session." >&2
  exit 1
fi
ORVIX_ENV=(DISPLAY="$DISPLAY")
# Share the X server's socket and authority, and the user's sound server or sound devices.
[ -d /tmp/.X11-unix ] && ORVIX_BINDS+=(/tmp/.X11-unix)
xauth_file="${XAUTHORITY:-$HOME/.Xauthority}"
if [ -f "$xauth_file" ]; then
  ORVIX_BINDS+=("$xauth_file")
  ORVIX_ENV+=(XAUTHORITY="$xauth_file")
fi
runtime="${XDG_RUNTIME_DIR:-/run/user/$(id -u)}"
for sock in "$runtime/pulse/native" "$runtime/pipewire-0"; do
  [ -S "$sock" ] && ORVIX_BINDS+=("$(dirname "$sock")")
done
[ -S "$runtime/pulse/native" ] && ORVIX_ENV+=(PULSE_SERVER="unix:$runtime/pulse/native")
[ -d "$runtime" ] && ORVIX_ENV+=(XDG_RUNTIME_DIR="$runtime")
run_env tools/run-game.sh "$@"
