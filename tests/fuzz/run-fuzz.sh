#!/usr/bin/env bash
# run-fuzz.sh replay FUZZER DIR          runs every file in DIR/seeds and DIR/regressions once
# run-fuzz.sh search FUZZER DIR CORPUS   fuzzes for VELOMA_FUZZ_SECONDS (60) from the seeds
set -uo pipefail
mode=$1 fuzzer=$2 dir=$3
# Any allocation the input cannot justify is a finding: inputs are at most 4 KiB.
common=(-malloc_limit_mb=64 -rss_limit_mb=1024 -timeout=10)
if [ "$mode" = replay ]; then
  mapfile -t files < <(find "$dir/seeds" "$dir/regressions" -type f ! -name README)
  echo "replaying ${#files[@]} files"
  exec "$fuzzer" "${common[@]}" "${files[@]}"
fi
mkdir -p "$4"
exec "$fuzzer" "${common[@]}" -max_len=4096 -max_total_time="${VELOMA_FUZZ_SECONDS:-60}" \
  -print_final_stats=1 -artifact_prefix="$dir/regressions/" "$4" "$dir/seeds" "$dir/regressions"
