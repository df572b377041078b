#!/usr/bin/env bash
# Sets everything up (scripts/setup.sh) and starts the program from its folder build/app.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
exec "$top/build/app/zantrope" "$@"
