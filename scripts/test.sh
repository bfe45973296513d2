#!/usr/bin/env bash
# Builds KOVO with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test:
# the Debian package is built, installed and removed again, each file and option reader
# is fuzzed for 20 seconds when clang is installed, and the unit tests run last, the
# concurrency tests again under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
scripts/package_test.sh
if command -v clang++ >/dev/null; then
  cmake --preset fuzz
  cmake --build --preset fuzz
  ctest --preset fuzz
fi
cmake --preset ci
cmake --build --preset ci
ctest --preset ci
# The tests labelled "concurrency" once more under ThreadSanitizer; only their programs are built.
cmake --preset tsan
cmake --build --preset tsan --target kovo_concurrency_tests
ctest --preset tsan
