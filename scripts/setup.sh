#!/usr/bin/env bash
# Installs what the project needs on Debian 12 (as root), then configures and builds
# into build/ with the sanitizers on. Safe to run again: it installs only what is
# missing and the build is incremental.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libsqlite3-dev
  qt6-base-dev
  python3 python3-pyftpdlib microsocks vsftpd curl
  xvfb xdotool imagemagick fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANTROPE_SANITIZE=ON -DZANTROPE_TESTS=ON
cmake --build build --parallel "$(nproc)"
