#!/usr/bin/env bash
# Installs what the program needs on Debian 12 (as root), builds it optimised with debug
# information (no sanitizers, no tests) into build-run/ and starts it from its folder
# build-run/app, which also holds the user's files ("all.dat", "FTPBookmark.dat", the list
# files, "forminfo.ini"). A rebuild creates a database file only when it is missing and never
# deletes or overwrites the user's files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/install_packages.sh program
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANTROPE_SANITIZE=OFF \
    -DZANTROPE_TESTS=OFF -DZANTROPE_BENCH=OFF >/dev/null
cmake --build build-run --parallel "$(nproc)" --target zantrope database_files
exec "$top/build-run/app/zantrope" "$@"
