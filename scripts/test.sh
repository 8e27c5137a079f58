#!/usr/bin/env bash
# Sets everything up, builds, and runs every suite: host, Wine, end to end.
# Ends with one line: "N passed, M failed", and ", K skipped" when some
# tests could not run here (say, the 32-bit ones on a machine that cannot
# execute 32-bit programs, or with VELOMA_WIN64_ONLY=1).
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
wine_run=$top/scripts/wine-run

stop() {
  echo "test: $1 failed; no test ran" >&2
  exit 1
}

if [ -z "${VELOMA_TEST_STAGE:-}" ]; then
  "$top/scripts/setup.sh" || stop "setting up the packages (scripts/setup.sh)"
  # Whether 32-bit programs run here is decided once, for the whole run.
  VELOMA_WIN32=$("$wine_run" --info | sed -n 's/^win32=//p')
  export VELOMA_WIN32
  "$top/scripts/build.sh" || stop "the build (scripts/build.sh)"
  "$top/scripts/package.sh" || stop "packaging (scripts/package.sh)"
  "$wine_run" --prepare >/dev/null || stop "making the Wine prefix (scripts/wine-run --prepare)"
  VELOMA_TEST_STAGE=run exec "$top/scripts/with-display.sh" "$0" "$@"
fi

passed=0 failed=0 skipped=0
trees="host win64 win32"
if [ "${VELOMA_WIN32:-}" != yes ]; then
  trees="host win64"
  skipped=$(cd "$top/build/win32" && ctest -N | sed -nE 's/^Total Tests: ([0-9]+)$/\1/p')
  skipped=${skipped:-0}
  if [ -n "${VELOMA_WIN64_ONLY:-}" ]; then why="VELOMA_WIN64_ONLY is set"
  else why="this machine cannot execute 32-bit programs"; fi
  echo "test: skipped the 32-bit Wine suite and smoke run ($skipped tests): $why"
fi

for dir in $trees; do
  log=$(mktemp)
  (cd "$top/build/$dir" && ctest --output-on-failure) 2>&1 | tee "$log"
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  # ctest counts a test that skipped itself among the passed; count it apart.
  nskip=$(grep -cE '^\s*[0-9]+ - .*\((Skipped|Disabled|Not Run)\)$' "$log")
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "test: no result from $dir" >&2
    failed=$((failed + 1))
    continue
  fi
  nfail=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - nfail - nskip))
  failed=$((failed + nfail))
  skipped=$((skipped + nskip))
done
"$wine_run" --server -k >/dev/null 2>&1 || true

if [ "$skipped" -gt 0 ]; then
  echo "$passed passed, $failed failed, $skipped skipped"
else
  echo "$passed passed, $failed failed"
fi
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
