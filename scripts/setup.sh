#!/usr/bin/env bash
# Installs the Debian 12 packages Keldra needs to build, run and test; only what is missing.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config git
  # the program and its libraries
  qt6-base-dev qt6-translations-l10n libstorm-dev libjpeg62-turbo-dev
  # tests, fuzzing and code checks
  libgtest-dev clang-14 libclang-rt-14-dev clang-format python3 python3-pil
  # a real window with readable Chinese texts
  xvfb xauth fonts-wqy-microhei
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
