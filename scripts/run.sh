#!/usr/bin/env bash
# Sets everything up, builds, and runs the saver full screen under Wine on
# the current display. Without a display it runs on a virtual one and leaves
# screenshots of what ran in build/screenshots.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" win32 || exit 1
export WINEPREFIX="$top/build/wineprefix" WINEDEBUG=-all
"$top/scripts/wineprefix.sh" "$WINEPREFIX" || exit 1
scr="$top/build/win32/VelomaSS.scr"
cp -f "$top/velomass.bmp" "$top/build/win32/" 2>/dev/null || true

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$top/build/win32" && exec wine "$scr" /s
fi

shots="$top/build/screenshots"
rm -rf "$shots"; mkdir -p "$shots"
"$top/scripts/with-display.sh" bash -c '
  cd "'"$top"'/build/win32"
  wine "'"$scr"'" /s & pid=$!
  for i in 1 2 3 4 5; do sleep 2; import -window root "'"$shots"'/saver-$i.png"; done
  xdotool key space; sleep 2; kill $pid 2>/dev/null; wineserver -k 2>/dev/null
'
echo "No display: the saver ran on a virtual screen; screenshots are in $shots"
