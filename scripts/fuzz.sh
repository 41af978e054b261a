#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target for SECONDS (default 60), one after the
# other, starting from its committed corpus. Prints the executions and findings per target.
# New inputs go to build/fuzz/corpus/TARGET, findings to build/fuzz/findings/TARGET: copy a
# finding into fuzz/corpus/TARGET/ once it is fixed, so that the unit tier replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/install-deps.sh clang libclang-rt-14-dev
[ -f build/fuzz/CMakeCache.txt ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

rows=()
status=0
for binary in build/fuzz/fuzz/cadenzo_fuzz_*; do
  target=${binary#build/fuzz/fuzz/cadenzo_fuzz_}
  work=build/fuzz/corpus/$target
  findings=build/fuzz/findings/$target
  log=build/fuzz/logs/$target.log
  rm -rf "$findings"
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  echo "== $target: $seconds s" >&2
  if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    :
  else
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$(find "$findings" -type f | wc -l)
  rows+=("$(printf '%-20s %12s %9s' "$target" "${runs:-?}" "$found")")
done

printf '%-20s %12s %9s\n' target executions findings
printf '%s\n' "${rows[@]}"
[ "$status" = 0 ] || echo "findings and logs: build/fuzz/findings/, build/fuzz/logs/" >&2
exit "$status"
