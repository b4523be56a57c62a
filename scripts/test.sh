#!/usr/bin/env bash
# Builds everything and runs every test: ./scripts/test.sh [build-folder] [extra cmake arguments...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
build=${1:-"$top/build"}
shift || true
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j 2
ctest --test-dir "$build" --output-on-failure -j 2
