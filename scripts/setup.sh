#!/usr/bin/env bash
# Installs the Debian packages KOVO builds with, when any is missing.
# With --tests, also what the tests need: a decimal-comma locale, clang for fuzzing and
# the tools that build and check the Debian package.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libswe-dev swe-basic-data swe-standard-data
          fonts-liberation libgtest-dev libbenchmark-dev
          qt6-svg-dev qt6-charts-dev libhowardhinnant-date-dev tzdata
          libqt6opengl6-dev)  # Qt Charts' CMake files need Qt OpenGL's
[ "${1:-}" = "--tests" ] && packages+=(locales clang dpkg-dev desktop-file-utils appstream lintian
                                    python3 python3-icalendar python3-numpy python3-scipy python3-statsmodels)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
if [ "${1:-}" = "--tests" ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  # The index reader must not follow a locale's decimal comma: a test runs under one.
  echo "Generating the de_DE.UTF-8 locale"
  $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen
fi
