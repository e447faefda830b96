#!/bin/sh
# Runs a command with one busy loop per core beside it, as a loaded machine
# for the timing measurements, e.g.
#   ./dev.sh tools/loaded.sh env ORVIX_SOUND_SECONDS=60 ctest --test-dir build -R GameSound -V
pids=""
for _ in $(seq "$(nproc)"); do
  sh -c 'while :; do :; done' &
  pids="$pids $!"
done
"$@"
rc=$?
kill $pids
exit $rc
