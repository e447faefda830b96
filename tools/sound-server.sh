# A PulseAudio server of a test's own, with one null sink, "game", whose
# monitor records what is played: sourced, not run.
#   sound_server_start DIR   starts it with its files in DIR, sets PULSE_SERVER
#                            for its clients; stops the script if it does not start
#   sound_server_stop        ends it
sound_server=""

sound_server_start() {
  PULSE_SERVER="unix:$1/native"
  export PULSE_SERVER
  HOME="$1" XDG_RUNTIME_DIR="$1" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no --realtime=yes --high-priority=yes -L "module-null-sink sink_name=game rate=48000" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$1/native" >"$1/server.txt" 2>&1 &
  sound_server=$!
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "orvix: the sound server did not start: $(cat "$1/server.txt")" >&2
  exit 1
}

sound_server_stop() {
  [ -z "$sound_server" ] || kill "$sound_server" 2>/dev/null || true
  sound_server=""
}
