#!/usr/bin/env bash
# Runs a command with an X display: the current one when it answers,
# otherwise a virtual 1024x768 screen that ends with the command.
set -uo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
for n in $(seq 90 140); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
done
log=$(mktemp)
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$log" 2>&1 &
xvfb=$!
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
if ! xdpyinfo >/dev/null 2>&1; then
  tail -n 20 "$log" >&2
  echo "with-display: Xvfb did not start on $DISPLAY" >&2
  kill "$xvfb" 2>/dev/null
  rm -f "$log"
  exit 1
fi
rm -f "$log"
"$@"
rc=$?
kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
exit $rc
