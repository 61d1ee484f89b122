#!/usr/bin/env bash
# Sets up, builds and starts Keldra.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$root/build/bin/keldra"
