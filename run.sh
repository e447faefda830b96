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
# Under sudo, the sound server and its key are the desktop user's, not root's.
desktop_user="${SUDO_USER:-$(id -un)}"
desktop_home="$(getent passwd "$desktop_user" | cut -d: -f6)"
runtime="${XDG_RUNTIME_DIR:-/run/user/$(id -u "$desktop_user")}"
for sock in "$runtime/pulse/native" "$runtime/pipewire-0"; do
  [ -S "$sock" ] && ORVIX_BINDS+=("$(dirname "$sock")")
done
[ -S "$runtime/pulse/native" ] && ORVIX_ENV+=(PULSE_SERVER="unix:$runtime/pulse/native")
# The key a PulseAudio server asks its clients for (PipeWire's server needs none).
cookie="${PULSE_COOKIE:-${desktop_home:-$HOME}/.config/pulse/cookie}"
if [ -f "$cookie" ]; then
  ORVIX_BINDS+=("$cookie")
  ORVIX_ENV+=(PULSE_COOKIE="$cookie")
fi
[ -d "$runtime" ] && ORVIX_ENV+=(XDG_RUNTIME_DIR="$runtime")
run_env tools/run-game.sh "$@"
