#!/usr/bin/env bash
# Fails, naming them, when a C++ file of the tree differs from what clang-format makes of it
# with the committed .clang-format.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
command -v clang-format >/dev/null || bash scripts/install_packages.sh tests
differ=$(git ls-files '*.cpp' '*.h' | while read -r f; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"
done)
if [ -n "$differ" ]; then
  echo "clang-format would change these files (run clang-format -i on them):" >&2
  echo "$differ" >&2
  exit 1
fi
