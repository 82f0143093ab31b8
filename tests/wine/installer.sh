#!/usr/bin/env bash
# The installer under Wine, as a nurse would use it but silent: install per user, start the
# program, --version, --save-csv of a set, uninstall; the measurements and name lists stay.
# The installed folder must run on its own: no Qt or MinGW folder on Wine's path.
#   installer.sh SETUP_EXE PREFIX [LINUX_BUILD]
# Exit 77 (skipped) when the installer has not been made (scripts/build-windows.sh --package).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
setup=$1
export WINEPREFIX=$2
linux=${3:-}
if [ ! -f "$setup" ]; then
  echo "wine.installer skipped: no $setup (scripts/build-windows.sh --package makes it)"
  exit 77
fi
source "$here/wine-common.sh"
unset WINEPATH QT_PLUGIN_PATH
export LC_ALL=C
hakaron_check_ports
folder=$WINEPREFIX/drive_c/users/Public/Hakaron
rm -rf "$folder"
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work" "$folder"
}
trap cleanup EXIT
fail() {
  echo "wine.installer: FAIL: $*" >&2
  exit 1
}

hakaron_wine wine "$setup" /S '/D=C:\users\Public\Hakaron' || fail "the installer failed"
for f in hakaron.exe Qt6Core.dll platforms/qwindows.dll Org/user.dat uninstall.exe; do
  [ -f "$folder/$f" ] || fail "$f was not installed"
done
[ -d "$folder/Name_List" ] || fail "Name_List was not made"
find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Hakaron/Hakaron.lnk' | grep -q . ||
  fail "no Start-menu entry"
echo "wine.installer: installed with a Start-menu entry"

version=$(cd "$folder" && hakaron_wine wine ./hakaron.exe --version | tr -d '\r')
[ "$version" = "Hakaron ver.1.30" ] || fail "--version printed \"$version\""

# Started headless, the program stays up with its window until it is ended.
hakaron_wine_argv wine ./hakaron.exe
(cd "$folder" && QT_QPA_PLATFORM=offscreen exec "${WINE_ARGV[@]}") >"$work/start.log" 2>&1 &
pid=$!
sleep 15
kill -0 "$pid" 2>/dev/null || fail "the program ended by itself: $(cat "$work/start.log")"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
echo "wine.installer: the installed program starts and --version says $version"

# A set with a Japanese header: 身体測定 / 2024/05/01 / 山田, then one person.
person() { printf '%60s' ''; printf '%-10s' '' '  170.0' 20.8 '   60.0' 63.58 63.24 63.70 -5.12 -5.81; }
{
  printf '%-20s%-20s%-20s%90s' $'\x90\x67\x91\xcc\x91\xaa\x92\xe8' 2024/05/01 $'\x8e\x52\x93\x63' ''
  printf '%-20s%-20s%-20s%90s' $'\x91\x67' $'\x8f\x6f\x90\xc8\x94\xd4\x8d\x86' $'\x8d\x80\x96\xda' ''
  person
} >"$folder/Org/zqmtemp.rdm"
printf '1\r\n' >"$folder/Name_List/class.nml"
(cd "$folder" && hakaron_wine wine ./hakaron.exe --save-csv 'C:\users\Public\set.csv') ||
  fail "--save-csv failed"
csv=$WINEPREFIX/drive_c/users/Public/set.csv
grep -q $'\x90\x67\x91\xcc\x91\xaa\x92\xe8' "$csv" || fail "the CSV lost the Japanese title"
grep -q '"170.0","60.0"' "$csv" || fail "the CSV lost the reading"
if [ -x "$linux/program/hakaron" ]; then
  mkdir -p "$work/linux/Org" "$work/linux/Name_List"
  cp "$linux/program/hakaron" "$work/linux/"
  cp "$folder/Org/zqmtemp.rdm" "$folder/Org/user.dat" "$work/linux/Org/"
  env -u DISPLAY -u QT_QPA_PLATFORM "$work/linux/hakaron" --save-csv "$work/linux.csv"
  cmp "$csv" "$work/linux.csv" || fail "the CSV differs from the Linux program's"
fi
rm -f "$csv"
echo "wine.installer: --save-csv wrote the set in code page 932"

# The summary from the installed folder: its library (hakaron-summary.dll) loads and judges.
(cd "$folder" && hakaron_wine wine ./hakaron.exe --save-judgement 'C:\users\Public\judge.csv' --age 12) ||
  fail "--save-judgement failed"
judge=$WINEPREFIX/drive_c/users/Public/judge.csv
grep -q '"170.0","60.0"' "$judge" || fail "the judgement CSV lacks the pupil"
rm -f "$judge"
echo "wine.installer: --save-judgement judged the set through the installed summary library"

hakaron_wine wine "$folder/uninstall.exe" /S '_?=C:\users\Public\Hakaron' || fail "the uninstaller failed"
rm -f "$folder/uninstall.exe"  # run in place, it cannot remove itself
[ ! -e "$folder/hakaron.exe" ] || fail "the program is still there"
[ ! -e "$folder/platforms" ] || fail "the plugins are still there"
[ -f "$folder/Org/zqmtemp.rdm" ] && [ -f "$folder/Org/user.dat" ] || fail "Org lost its files"
[ -f "$folder/Name_List/class.nml" ] || fail "Name_List lost its files"
echo "wine.installer: uninstalled; Org and Name_List kept"
