#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of seconds (default 60),
# seeded with the files the tests use (fuzz/seeds/<target>/).
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
CC=clang-14 CXX=clang++-14 bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELDRA_FUZZ=ON -DKELDRA_GUI=OFF -DBUILD_TESTING=OFF
for target in build-fuzz/bin/fuzz_*; do
  name=$(basename "$target")
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    "$corpus" "${seeds[@]}" 2>build-fuzz/$name.log || { tail -n 60 build-fuzz/$name.log; exit 1; }
  grep -E 'stat::number_of_executed_units|Done' build-fuzz/$name.log | tail -n 2
done
