#!/usr/bin/env bash
# Packs the Windows build (build-windows/, made by scripts/build-windows.sh) for nurses:
#   build-windows/hakaron-1.30-win64.zip   the portable folder
#   build-windows/hakaron-1.30-setup.exe   an installer (NSIS), per user, no administrator
# The folder is what `cmake --install` lays out, plus every DLL the program and its plugins
# need (Qt's and the MinGW runtime's, found by their imports) and Qt's plugins.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-windows}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
qt=$(sed -n 's/^QT_ADDITIONAL_PACKAGES_PREFIX_PATH.*=//p;s/^Qt6_DIR:PATH=//p' "$build/CMakeCache.txt" |
  sed -n 's|/lib/cmake/Qt6$||p' | head -1)
[ -d "$qt/bin" ] || { echo "package-windows: Qt for Windows not found (run scripts/build-windows.sh)" >&2; exit 1; }
name=hakaron-$version
package=$build/package
stage=$package/$name
rm -rf "$package"
mkdir -p "$package"
cmake --install "$build" --prefix "$stage" >/dev/null

# Qt's plugins the program loads: the Windows platform (and the headless one for tests), the
# native style, SVG pictures and icons.
for plugin in platforms/qwindows platforms/qoffscreen styles/qwindowsvistastyle \
  imageformats/qsvg imageformats/qico iconengines/qsvgicon; do
  mkdir -p "$stage/$(dirname "$plugin")"
  cp "$qt/plugins/$plugin.dll" "$stage/$plugin.dll"
done

# Every DLL an exe or DLL of the folder imports, from Qt or the MinGW runtime, until none is
# missing; the system's own DLLs are not looked for.
runtime_dirs=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
while :; do
  added=0
  while IFS= read -r dll; do
    [ -e "$stage/$dll" ] && continue
    for dir in "${runtime_dirs[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/$dll"
        case $dir in "$qt/bin") ;; *) x86_64-w64-mingw32-strip --strip-unneeded "$stage/$dll" ;; esac
        added=1
        break
      fi
    done
  done < <(find "$stage" -iname '*.exe' -o -iname '*.dll' | while IFS= read -r f; do
    x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p'
  done | sort -u)
  [ "$added" = 0 ] && break
done

rm -f "$build/$name-win64.zip"
(cd "$package" && zip -qr "$build/$name-win64.zip" "$name")
echo "Wrote $build/$name-win64.zip"

# The uninstaller removes exactly what was installed, never Org\ and Name_List\.
list=$package/installed-files.nsh
: >"$list"
(cd "$stage" && find . -type f ! -path './Org/*' ! -path './Name_List/*' | sort) | while IFS= read -r f; do
  printf 'Delete "$INSTDIR\\%s"\n' "$(echo "${f#./}" | tr / '\\')" >>"$list"
done
(cd "$stage" && find . -mindepth 1 -type d ! -path './Org*' ! -path './Name_List*' | sort -r) | while IFS= read -r d; do
  printf 'RMDir "$INSTDIR\\%s"\n' "$(echo "${d#./}" | tr / '\\')" >>"$list"
done
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$list" \
  -DOUTFILE="$build/$name-setup.exe" "$top/scripts/windows/hakaron.nsi"
echo "Wrote $build/$name-setup.exe"
