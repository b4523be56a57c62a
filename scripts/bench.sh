#!/usr/bin/env bash
# Builds the replacement benchmark in Release (in build-bench) and runs it:
#   ./scripts/bench.sh [replace_bench options]     e.g. --big-mb 20 --files 200 for a quick run
# It needs about 1 GB of free space in the temporary folder for the default corpus.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-bench"
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKAVEX_BUILD_TESTS=OFF \
    -DKAVEX_BUILD_APP=OFF
cmake --build "$build" -j 2 --target replace_bench
"$build/bench/replace_bench" "$@"
