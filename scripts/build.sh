#!/usr/bin/env bash
# Configures and builds into build/ (two parallel jobs: the machine has two cores).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j2 "$@"
