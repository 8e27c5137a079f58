#!/usr/bin/env bash
# Sets everything up, builds, and runs the saver full screen under Wine on
# the current display (any key or mouse move ends it). Without a display it
# runs on a virtual screen and leaves screenshots in build/screenshots.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" win32 || exit 1
export WINEPREFIX="$top/build/wineprefix" WINEDEBUG=-all
"$top/scripts/wineprefix.sh" "$WINEPREFIX" || exit 1
win32="$top/build/win32"

# The saver finds its piece image in the current directory.
cd "$win32" || exit 1
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Running the saver full screen; press a key or move the mouse to end it."
  wine VelomaSS.scr /s
  status=$?
  wineserver -w
  exit $status
fi

shots="$top/build/screenshots"
rm -rf "$shots"; mkdir -p "$shots"
"$top/scripts/with-display.sh" bash -c '
  wine VelomaSS.scr /s & pid=$!
  for i in 1 2 3 4 5; do sleep 2; import -window root "'"$shots"'/saver-$i.png"; done
  xdotool key space
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  import -window root "'"$shots"'/after-key.png"
  wineserver -k 2>/dev/null
  wait $pid 2>/dev/null
  exit 0
'
status=$?
echo "No display: the saver ran on a virtual 1024x768 screen; screenshots are in $shots"
exit $status
