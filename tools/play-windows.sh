#!/usr/bin/env bash
# Plays the Windows game, unpacked from its zip into an empty folder, under
# Wine in a real window, on an X server and a PulseAudio server (null sink,
# recorded) of its own, as a Windows player would:
#   - the start screen, compared with the Linux game's (build/tests/game-shots/start.png,
#     where the Linux pass has left it);
#   - P starts the music, heard in the recording;
#   - the bass lane's key held on its notes: a hit, and the bass drum heard after it;
#   - Q ends the game with status 0, the log holds the engine's start and stop
#     and no "Error!".
# Screenshots and the recording stay in BUILD_DIR/game-shots/.
#   tools/play-windows.sh [BUILD_DIR]   (in ./dev.sh --windows; default build-windows)
set -euo pipefail
if [ -z "${PLAY_WINDOWS_X:-}" ]; then
  export PLAY_WINDOWS_X=1
  exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$0" "$@"
fi
cd "$(dirname "$0")/.."
src="$PWD"
build="$(realpath "${1:-build-windows}")"
shots="$build/game-shots"
linux_start="$src/build/tests/game-shots/start.png"
zip="$build/dist/orvix-rhythm-win64.zip"
source tools/wine-env.sh
source tools/sound-server.sh
GAME_PROGRAM=("$wine" rhythm.exe)
source tools/game-window.sh
[ -f "$zip" ] || fail "no $zip (tools/package-windows.sh makes it)"
mkdir -p "$shots"
rm -f "$shots"/*

# The sound server, its files outside the game's folder.
pulse="$(mktemp -d)"
recorder=""
stop_all() {
  [ -z "$recorder" ] || kill "$recorder" 2>/dev/null || true
  cleanup_game
  wine_stop
  sound_server_stop
  rm -rf "$pulse"
}
trap stop_all EXIT
sound_server_start "$pulse"

# Wine on this display, playing through the sound server.
wine_start "$build/wineprefix"
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1

work="$(mktemp -d)"
(cd "$work" && unzip -q "$zip")
cd "$work"
start_game
import -window "$window" "$shots/start.png" || fail "screenshot of the start screen"

# A screenshot of the start screen without the rows its sprite animates: the
# demo notes (rows 11 to 14) and the "Press [P]" line (row 21), which two
# screenshots may catch in different frames.
still_rows() {
  local rows row
  rows=$(sed -nE 's/^window_vertical_chars:([0-9]+),.*/\1/p' ox-config.txt 2>/dev/null | tail -n 1) || rows=""
  row=$(($(identify -format %h "$1") / ${rows:-24}))
  convert "$1" -fill black -draw "rectangle 0,$((11 * row)) 99999,$((15 * row - 1))" \
    -draw "rectangle 0,$((21 * row)) 99999,$((22 * row - 1))" "$2"
}

# The start screen against the Linux game's: the same size, and few pixels
# of its still rows differ by more than a small colour step (the glyphs'
# edges are smoothed by two builds of the font renderer).
if [ -f "$linux_start" ]; then
  [ "$(identify -format %wx%h "$shots/start.png")" = "$(identify -format %wx%h "$linux_start")" ] ||
    fail "the start screen is $(identify -format %wx%h "$shots/start.png"), the Linux game's $(identify -format %wx%h "$linux_start")"
  still_rows "$shots/start.png" "$shots/start-still.png"
  still_rows "$linux_start" "$shots/linux-start-still.png"
  differing=$(compare -metric AE -fuzz 25% "$shots/start-still.png" "$shots/linux-start-still.png" "$shots/start-diff.png" 2>&1 || true)
  echo "play-windows: start screen: $differing pixels differ from the Linux game's"
  [ "${differing%%.*}" -lt 500 ] 2>/dev/null || fail "the start screen differs from the Linux game's in $differing pixels"
else
  echo "play-windows: no Linux start screen at $linux_start to compare with (./test.sh makes it)"
fi

parec -d game.monitor --format=s16le --channels=1 --rate=48000 --latency-msec=5 >"$shots/song.raw" &
recorder=$!
xdotool key p
wait_log "Music::play(): Playing music." 1
wait_log "Looking for sprite 'note'." 4
xdotool keydown z
wait_log "Sound::play(): Playing sound." 1
hit_at=$(($(stat -c %s "$shots/song.raw") / 96))
sleep 1
xdotool keyup z
import -window "$window" "$shots/song.png" || fail "screenshot of the song"
kill "$recorder"
recorder=""
xdotool key q
status=0
wait "$game" || status=$?
game=""
[ "$status" -eq 0 ] || fail "exit code $status"
grep -q '\*\* Game engine started \*\*' orvix.log || fail "no engine start in the log"
tail -n 3 orvix.log | grep -q '\*\* Game engine stopped \*\*' || fail "the log does not end with the engine's stop"
! grep -n 'Error!' orvix.log || fail "an error in the log"
! grep -q "No audio playback device opened" orvix.log || fail "no audio device opened"

# What the player heard: the music, then the bass drum after the hit.
heard="$("$wine" "$build/listen.exe" "$shots/song.raw" sounds/bass.mp3 | tr -d '\r')"
rms=$(sed -n 's/^rms //p' <<<"$heard")
read -r match drum_at < <(sed -n 's/^match \([0-9.]*\) at \([0-9.]*\)$/\1 \2/p' <<<"$heard")
echo "play-windows: music RMS $rms of full scale; bass drum matched $match at $drum_at s," \
  "the hit seen at $((hit_at / 1000)).$(printf %03d $((hit_at % 1000))) s"
awk -v r="$rms" 'BEGIN { exit !(r >= 0.02) }' || fail "the music is not audible (RMS $rms)"
awk -v m="$match" -v t="$drum_at" -v h="$hit_at" 'BEGIN { exit !(m >= 0.9 && t * 1000 >= h - 500) }' ||
  fail "no bass drum heard after the hit (best match $match at $drum_at s)"
echo "play-windows: $(cat stdout.txt | tr -d '\r'); screenshots in $shots"
