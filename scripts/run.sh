#!/usr/bin/env bash
# Sets everything up, builds, and runs the saver under Wine on the current
# display. Without a display it runs on a virtual one and leaves screenshots
# of what ran in build/screenshots.
#
# Until the full-screen window exists, what runs is the preview: the saver's
# board inside a stand-in of the display settings' little monitor.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" win32 || exit 1
export WINEPREFIX="$top/build/wineprefix" WINEDEBUG=-all
"$top/scripts/wineprefix.sh" "$WINEPREFIX" || exit 1
win32="$top/build/win32"
scr="Z:${win32//\//\\}\\VelomaSS.scr"
host="$win32/tests/e2e/host/preview_host.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Running the preview; close its window to end."
  cd "$win32" && wine "$host" --scr "$scr" --life 3600000
  status=$?
  wineserver -k 2>/dev/null
  exit $status
fi

shots="$top/build/screenshots"
rm -rf "$shots"; mkdir -p "$shots"
"$top/scripts/with-display.sh" bash -c '
  cd "'"$win32"'"
  wine "'"$host"'" --scr "'"$scr"'" --life 12000 --report preview-report.txt & pid=$!
  for i in 1 2 3 4 5; do sleep 2; import -window root "'"$shots"'/run-$i.png"; done
  wait $pid; status=$?
  wineserver -k 2>/dev/null
  cat preview-report.txt 2>/dev/null
  exit $status
'
status=$?
echo "No display: the saver ran on a virtual screen; screenshots are in $shots"
exit $status
