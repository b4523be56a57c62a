#!/usr/bin/env bash
# Builds the scanner's fuzz target with clang (in build-fuzz) and runs it for a bounded time:
#   ./scripts/fuzz.sh [SECONDS]   (default 60)
# The corpus grows in build-fuzz/corpus/scanner; a failing input is written to build-fuzz/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$top/build-fuzz"
"$top/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKAVEX_FUZZ=ON -DKAVEX_SANITIZE=ON -DKAVEX_BUILD_APP=OFF -DKAVEX_BUILD_TESTS=OFF
cmake --build "$build" -j 2 --target kavex_scanner_fuzz
mkdir -p "$build/corpus/scanner"
cd "$build"
"$build/fuzz/kavex_scanner_fuzz" -max_total_time="$seconds" -max_len=512 -timeout=10 \
    -print_final_stats=1 "$build/corpus/scanner"
