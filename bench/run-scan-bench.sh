#!/usr/bin/env bash
# Measures the scan walk side by side with `du -s` on the same trees, in turns, and checks the
# scan's totals against `find -xdev`.
#   bench/run-scan-bench.sh [--rounds N] [--threads N] [--cold] [PATH...]
# Warm by default (each path read once first). --cold empties the page cache before every run of
# either (`sync; echo 3 > /proc/sys/vm/drop_caches`), which needs root. --threads is passed to
# the walk (its default otherwise). Without paths: a synthetic tree of 1,000,000 files in 40,000
# folders (made once, in $DUNSTREL_BENCH_TREE or /tmp/dunstrel-bench-tree) and /usr.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
rounds=5
cold=false
walk_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) rounds=$2; shift 2 ;;
    --threads) walk_args+=(--threads "$2"); shift 2 ;;
    --cold) cold=true; shift ;;
    *) break ;;
  esac
done
drop_caches() {
  if $cold; then
    sync
    echo 3 >/proc/sys/vm/drop_caches
  fi
}
if $cold && ! (echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; then
  echo "--cold empties the page cache through /proc/sys/vm/drop_caches, which needs root; stopping." >&2
  exit 1
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
  $cold || du -s "$path" >/dev/null 2>&1 || true  # warm the cache
  du_times=()
  walk_times=()
  last=""
  for _ in $(seq "$rounds"); do
    drop_caches
    start=$(date +%s.%N)
    du -s "$path" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    du_times+=("$(echo "$end - $start" | bc)")
    drop_caches
    last=$("$build/bench/dunstrel-scan-bench" "${walk_args[@]}" "$path")
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
  printf '{"path":"%s","cache":"%s","rounds":%d,"du_seconds_median":%s,"walk_seconds_median":%s,"ratio":%.3f,"bytes_per_entry":%s,"files":%s,"dirs":%s,"bytes":%s,"find_files":%s,"find_dirs":%s,"find_bytes":%s,"totals_match":%s}\n' \
    "$path" "$($cold && echo cold || echo warm)" "$rounds" "$du_median" "$walk_median" "$(echo "$walk_median / $du_median" | bc -l)" "$per_entry" \
    "$files" "$dirs" "$bytes" "$find_files" "$find_dirs" "$find_bytes" \
    "$([ "$files $dirs $bytes" = "$find_files $find_dirs $find_bytes" ] && echo true || echo false)"
done
