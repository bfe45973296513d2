#!/usr/bin/env bash
# Builds KOVO with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test,
# then fuzzes each file and option reader for 20 seconds when clang is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
cmake --preset ci
cmake --build --preset ci
ctest --preset ci
if command -v clang++ >/dev/null; then
  cmake --preset fuzz
  cmake --build --preset fuzz
  ctest --preset fuzz
fi
