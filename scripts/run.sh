#!/usr/bin/env bash
# Builds KOVO and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default
cmake --build --preset default
exec build/default/bin/kovo "$@"
