#!/usr/bin/env bash
# Sets everything up, builds, and runs every suite: host, Wine, end to end.
# Ends with one line: "N passed, M failed".
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${VELOMA_TEST_STAGE:-}" ]; then
  "$top/scripts/setup.sh" || exit 1
  "$top/scripts/build.sh" || exit 1
  "$top/scripts/package.sh" || exit 1
  "$top/scripts/wineprefix.sh" "$top/build/wineprefix" || exit 1
  VELOMA_TEST_STAGE=run exec "$top/scripts/with-display.sh" "$0" "$@"
fi

export WINEPREFIX="$top/build/wineprefix"
passed=0 failed=0
for dir in host win32 win64; do
  log=$(mktemp)
  (cd "$top/build/$dir" && ctest --output-on-failure) 2>&1 | tee "$log"
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "test: no result from $dir" >&2
    failed=$((failed + 1))
    continue
  fi
  nfail=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - nfail))
  failed=$((failed + nfail))
done
wineserver -k >/dev/null 2>&1 || true

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
