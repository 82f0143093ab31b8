#!/usr/bin/env bash
# Cross-builds the Windows program into build-windows/: installs the MinGW-w64 toolchain, Wine
# and NSIS (Debian packages), unpacks the prebuilt Qt for Windows into a cache folder outside
# the checkout once, then configures with Qt's qt-cmake and builds hakaron.exe and the tests
# (two parallel jobs). `--package` also makes the zip and the installer (scripts/package-windows.sh).
#
#   HAKARON_QT_WIN_ARCHIVE  the Qt archive (default ../shared/windows/qt-6.4.2-mingw64.tar.zst
#                           beside the checkout)
#   HAKARON_CACHE           where it is unpacked (default ${XDG_CACHE_HOME:-~/.cache}/hakaron)
#   BUILD_DIR               the build folder (default build-windows/)
# Other arguments go to `cmake --build` (e.g. --target hakaron).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-windows}
archive=${HAKARON_QT_WIN_ARCHIVE:-$top/../shared/windows/qt-6.4.2-mingw64.tar.zst}
cache=${HAKARON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/hakaron}
qt=$cache/qt-6.4.2-mingw64

package=
if [ "${1:-}" = --package ]; then
  package=1
  shift
fi

if [ ! -x "$qt/bin/qt-cmake" ] && [ ! -f "$archive" ]; then
  echo "build-windows: Qt for Windows archive not found: $archive (set HAKARON_QT_WIN_ARCHIVE)" >&2
  exit 1
fi

"$top/scripts/ensure-deps.sh" g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine nsis zip \
  zstd ninja-build

if [ ! -x "$qt/bin/qt-cmake" ]; then
  echo "Unpacking $(basename "$archive") into $cache"
  mkdir -p "$cache"
  rm -rf "$qt.partial"
  mkdir "$qt.partial"
  tar --zstd -xf "$archive" -C "$qt.partial"
  # Moved into place whole, so that an interrupted unpacking is never taken for a finished one.
  rm -rf "$qt"
  mv "$qt.partial/qt-6.4.2-mingw64" "$qt"
  rmdir "$qt.partial"
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$top")}
fi
"$qt/bin/qt-cmake" -G Ninja -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  >/dev/null
cmake --build "$build" -j2 "$@"
if [ -n "$package" ]; then
  "$top/scripts/package-windows.sh"
fi
