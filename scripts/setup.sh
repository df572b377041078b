#!/usr/bin/env bash
# Installs what the tests need on Debian 12 (as root), then configures and builds the test
# build into build/ with the sanitizers on. Safe to run again: it installs only what is
# missing and the build is incremental.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/install_packages.sh tests
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANTROPE_SANITIZE=ON -DZANTROPE_TESTS=ON
cmake --build build --parallel "$(nproc)"
