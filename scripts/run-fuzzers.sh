#!/usr/bin/env bash
# Runs each fuzzer of build-fuzz/ for the given number of seconds (60 by default), starting from
# the seeds in tests/fuzz/seeds/ and what earlier runs kept in build-fuzz/corpus/. Each run's
# output goes to build-fuzz/NAME.log; an input that crashes, hangs (10 s) or takes more than
# 2 GB is kept in build-fuzz/findings/ and the script fails, showing the end of that log.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
mkdir -p build-fuzz/findings
status=0
for name in scan-file translation-file; do
  mkdir -p "build-fuzz/corpus/$name"
  dict=()
  if [ -f "tests/fuzz/$name.dict" ]; then
    dict=(-dict="tests/fuzz/$name.dict")
  fi
  echo "fuzzing the $name reader for $seconds s"
  if build-fuzz/tests/fuzz/dunstrel-$name-fuzzer -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix=build-fuzz/findings/ "${dict[@]}" \
      "build-fuzz/corpus/$name" "tests/fuzz/seeds/$name" >"build-fuzz/$name.log" 2>&1; then
    tail -n 1 "build-fuzz/$name.log"
  else
    echo "the $name fuzzer found a fault (its input is in build-fuzz/findings/):" >&2
    tail -n 40 "build-fuzz/$name.log" >&2
    status=1
  fi
done
exit $status
