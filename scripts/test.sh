#!/usr/bin/env bash
# Sets everything up (scripts/setup.sh) and runs the whole test suite under the sanitizers.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
cd "$top/build"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"
