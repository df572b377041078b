#!/usr/bin/env bash
# Installs the Debian 12 packages one use of the project needs, as root; only what is missing.
#   install_packages.sh program   what building and running the program needs (Qt 6, zlib)
#   install_packages.sh tests     that, plus the test and benchmark tools and the test servers
set -euo pipefail
program=(build-essential cmake ninja-build pkg-config zlib1g-dev qt6-base-dev)
tests=(
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev clang-format
  python3 python3-pyftpdlib microsocks vsftpd curl lftp
  xvfb xdotool imagemagick fonts-dejavu-core
  python3-pyatspi at-spi2-core dbus-daemon
)
case "${1:-}" in
  program) packages=("${program[@]}") ;;
  tests) packages=("${program[@]}" "${tests[@]}") ;;
  *) echo "usage: $0 program|tests" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
