#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build, a build with AddressSanitizer and UBSan,
# the format check, and a short libFuzzer run of each fuzz target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

echo "== format check"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

export QT_QPA_PLATFORM=offscreen
echo "== normal build"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j2

echo "== AddressSanitizer and UBSan build"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DKELDRA_SANITIZE=ON \
  -DKELDRA_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$root/tests/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j2

echo "== fuzzing"
bash scripts/fuzz.sh "${KELDRA_FUZZ_SECONDS:-60}"
