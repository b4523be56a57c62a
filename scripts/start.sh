#!/usr/bin/env bash
# Builds the program and starts it: ./scripts/start.sh [arguments for the program...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
build="$top/build"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j 2
if [ -x "$build/app/kavex" ]; then
  exec "$build/app/kavex" "$@"
fi
exec "$build/cli/kavex-cli" --help
