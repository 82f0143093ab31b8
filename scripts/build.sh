#!/usr/bin/env bash
# Configures and builds into build/ (two parallel jobs: the machine has two cores).
# BUILD_DIR overrides the folder; HAKARON_SANITIZE=1 adds AddressSanitizer and UBSan; ccache is
# used when the machine has it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths relative to the parent folder, so that several checkouts share one cache.
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$top")}
fi
sanitize=-DHAKARON_SANITIZE=OFF
[ -n "${HAKARON_SANITIZE:-}" ] && sanitize=-DHAKARON_SANITIZE=ON
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$sanitize" "${launcher[@]}" >/dev/null
cmake --build "$build" -j2 "$@"
