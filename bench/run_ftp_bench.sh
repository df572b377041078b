#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ (release, no sanitizers) and runs the FTP throughput
# benchmark: our component against curl on a private vsftpd over loopback. Run as root.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZANTROPE_BENCH=ON \
    -DZANTROPE_TESTS=OFF -DZANTROPE_SANITIZE=OFF >/dev/null
cmake --build build-bench --target ftp_throughput_bench -j3
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
exec build-bench/bench/ftp_throughput_bench
