#!/usr/bin/env bash
# run-fuzz.sh replay FUZZER DIR          runs every file in DIR/seeds and DIR/regressions once
# run-fuzz.sh search FUZZER DIR CORPUS   fuzzes for VELOMA_FUZZ_SECONDS (60) from the seeds
set -uo pipefail
mode=$1 fuzzer=$2 dir=$3
# Any allocation the input cannot justify is a finding: inputs are at most 4 KiB.
common=(-malloc_limit_mb=64 -rss_limit_mb=1024 -timeout=10)

case $mode in
  replay)
    files=()
    for f in "$dir"/seeds/* "$dir"/regressions/*; do
      [ -f "$f" ] && [ "$(basename "$f")" != README ] && files+=("$f")
    done
    echo "replaying ${#files[@]} files"
    exec "$fuzzer" "${common[@]}" "${files[@]}"
    ;;
  search)
    corpus=$4
    mkdir -p "$corpus"
    exec "$fuzzer" "${common[@]}" -max_len=4096 -max_total_time="${VELOMA_FUZZ_SECONDS:-60}" \
      -print_final_stats=1 -artifact_prefix="$dir/regressions/" "$corpus" "$dir/seeds" "$dir/regressions"
    ;;
  *)
    echo "run-fuzz.sh: unknown mode $mode" >&2
    exit 2
    ;;
esac
