#!/usr/bin/env bash
# Measures the scan walk side by side with `du -s` on the same trees, warm cache, and checks
# the scan's totals against `find -xdev`.
#   bench/run-scan-bench.sh [--rounds N] [PATH...]
# Without paths: a synthetic tree of 1,000,000 files in 40,000 folders (made once, in
# $DUNSTREL_BENCH_TREE or /tmp/dunstrel-bench-tree) and /usr.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
rounds=5
if [ "${1:-}" = "--rounds" ]; then
  rounds=$2
  shift 2
fi
tree=${DUNSTREL_BENCH_TREE:-/tmp/dunstrel-bench-tree}
paths=("$@")
if [ ${#paths[@]} -eq 0 ]; then
  if [ ! -d "$tree" ]; then
    echo "Making the synthetic tree in $tree (a few minutes)..." >&2
    "$build/bench/dunstrel-make-tree" --seed 1 --files 1000000 --folders 40000 "$tree" >&2
  fi
  paths=("$tree" /usr)
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for path in "${paths[@]}"; do
  du -s "$path" >/dev/null 2>&1 || true  # warm the cache
  du_times=()
  walk_times=()
  last=""
  for _ in $(seq "$rounds"); do
    start=$(date +%s.%N)
    du -s "$path" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    du_times+=("$(echo "$end - $start" | bc)")
    last=$("$build/bench/dunstrel-scan-bench" "$path")
    walk_times+=("$(echo "$last" | sed -E 's/.*"walk_seconds":([0-9.]+).*/\1/')")
  done
  du_median=$(printf '%s\n' "${du_times[@]}" | median)
  walk_median=$(printf '%s\n' "${walk_times[@]}" | median)
  files=$(echo "$last" | sed -E 's/.*"files":([0-9]+).*/\1/')
  dirs=$(echo "$last" | sed -E 's/.*"dirs":([0-9]+).*/\1/')
  bytes=$(echo "$last" | sed -E 's/.*"bytes":([0-9]+).*/\1/')
  per_entry=$(echo "$last" | sed -E 's/.*"bytes_per_entry":([0-9.]+).*/\1/')
  find_files=$(find "$path" -xdev ! -type d ! -type l 2>/dev/null | wc -l)
  find_bytes=$(find "$path" -xdev ! -type d ! -type l -printf '%s\n' 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }')
  find_dirs=$(find "$path" -xdev -type d 2>/dev/null | wc -l)
  root_dev=$(stat -c %d "$path")
  # find -xdev lists mount points but does not enter them; the scan neither enters nor counts them.
  mount_points=$(find "$path" -xdev -type d -printf '%D\n' 2>/dev/null | grep -vcx "$root_dev" || true)
  find_dirs=$((find_dirs - mount_points))
  printf '{"path":"%s","rounds":%d,"du_seconds_median":%s,"walk_seconds_median":%s,"ratio":%.3f,"bytes_per_entry":%s,"files":%s,"dirs":%s,"bytes":%s,"find_files":%s,"find_dirs":%s,"find_bytes":%s,"totals_match":%s}\n' \
    "$path" "$rounds" "$du_median" "$walk_median" "$(echo "$walk_median / $du_median" | bc -l)" "$per_entry" \
    "$files" "$dirs" "$bytes" "$find_files" "$find_dirs" "$find_bytes" \
    "$([ "$files $dirs $bytes" = "$find_files $find_dirs $find_bytes" ] && echo true || echo false)"
done
