#!/usr/bin/env bash
# Configures and builds the host tree and both Windows trees under build/;
# TREE:TARGET builds one target of a tree (host:velomass).
set -euo pipefail
# Whatever fails, say which command it was; its own error output stands above.
trap 'echo "build: failed (exit $?): $BASH_COMMAND" >&2' ERR
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${VELOMA_JOBS:-$(nproc)}
configs=${*:-host win32 win64}

for item in $configs; do
  c=${item%%:*}
  target=${item#"$c"}; target=${target#:}
  case $c in
    host)  extra=() ;;
    win32) extra=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-i686.cmake") ;;
    win64) extra=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-x86_64.cmake") ;;
    *) echo "build: unknown configuration $c" >&2; exit 2 ;;
  esac
  if [ ! -f "$top/build/$c/build.ninja" ]; then
    cmake -S "$top" -B "$top/build/$c" -G Ninja -DCMAKE_BUILD_TYPE=Release "${extra[@]}" >/dev/null
  fi
  cmake --build "$top/build/$c" -j "$jobs" ${target:+--target "$target"}
done
