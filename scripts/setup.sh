#!/usr/bin/env bash
# Installs the Debian packages KOVO builds with, when any is missing.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libswe-dev swe-basic-data swe-standard-data
          fonts-liberation libgtest-dev libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
