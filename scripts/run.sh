#!/usr/bin/env bash
# Sets up, builds and starts Keldra (the program and its companions only; the tests are built by
# scripts/test.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j2 --target keldra keldra-list pictel
exec "$root/build/bin/keldra"
