#!/usr/bin/env bash
# Sets everything up, builds, and runs the 64-bit saver full screen under
# Wine on the current display (any key or mouse move ends it): the saver
# most users install, and one that every machine here can run. Without a
# display it runs on a virtual screen, then the native XScreenSaver module
# in a window of its own there, and leaves screenshots of both in
# build/screenshots.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
wine_run=$top/scripts/wine-run

stop() {
  echo "run: $1 failed" >&2
  exit 1
}

"$top/scripts/setup.sh" || stop "setting up the packages (scripts/setup.sh)"
"$top/scripts/build.sh" win64 host:velomass || stop "the build (scripts/build.sh win64 host:velomass)"
"$wine_run" --prepare >/dev/null || stop "making the Wine prefix (scripts/wine-run --prepare)"

# The saver finds its piece image in the current directory.
cd "$top/build/win64" || stop "entering build/win64"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Running the saver full screen; press a key or move the mouse to end it."
  echo "(The native XScreenSaver module is $top/build/host/x11/velomass; run it for a window of its own.)"
  "$wine_run" VelomaSS.scr /s
  status=$?
  "$wine_run" --server -w
  exit $status
fi

shots="$top/build/screenshots"
rm -rf "$shots"; mkdir -p "$shots"
export wine_run shots
"$top/scripts/with-display.sh" bash -c '
  "$wine_run" VelomaSS.scr /s & pid=$!
  for i in 1 2 3 4 5; do sleep 2; import -window root "$shots/saver-$i.png"; done
  xdotool key space
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  import -window root "$shots/after-key.png"
  if kill -0 $pid 2>/dev/null; then
    echo "run: the saver did not close on a key" >&2
    "$wine_run" --server -k
  fi
  wait $pid; status=$?
  "$wine_run" --server -k 2>/dev/null
  exit $status
'
status=$?
[ $status -eq 0 ] || stop "the saver (exit $status)"

# The module as XScreenSaver's settings preview it: a window of its own.
export velomass="$top/build/host/x11/velomass"
"$top/scripts/with-display.sh" bash -c '
  "$velomass" & pid=$!
  for _ in $(seq 50); do id=$(xdotool search --name "^velomass\$" 2>/dev/null | head -n 1); [ -n "$id" ] && break; sleep 0.1; done
  [ -n "$id" ] || { echo "run: the module showed no window" >&2; kill $pid; exit 1; }
  for i in 1 2 3; do sleep 2; import -window "$id" "$shots/velomass-$i.png"; done
  kill -TERM $pid
  wait $pid
'
status=$?
[ $status -eq 0 ] || stop "the XScreenSaver module (exit $status)"
echo "No display: the saver and the XScreenSaver module ran on a virtual 1024x768 screen; screenshots are in $shots"
