#!/usr/bin/env bash
# Makes a fresh Wine prefix for one test run: PREFIX is removed and made anew, and COM1-COM16
# are mapped explicitly to PORTS/COMn (a link a test points at its pty; without it the port
# is absent), so that Wine never gives one of them to a serial device of the machine.
# It also starts the run's virtual display (Xvfb), on which the programs' windows open as on
# Windows; its number goes to PREFIX.display, `wine-prefix.sh --stop PREFIX` ends it.
#   wine-prefix.sh PREFIX PORTS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "$1" = --stop ]; then
  export WINEPREFIX=$2
  wineserver -k 2>/dev/null || true
  [ -f "$2.xvfb-pid" ] && kill "$(cat "$2.xvfb-pid")" 2>/dev/null
  rm -f "$2.xvfb-pid" "$2.display"
  exit 0
fi
export WINEPREFIX=$1
ports=$2
source "$here/wine-common.sh"
[ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null || true; }
[ -f "$WINEPREFIX.xvfb-pid" ] && kill "$(cat "$WINEPREFIX.xvfb-pid")" 2>/dev/null
rm -f "$WINEPREFIX.display" "$WINEPREFIX.xvfb-pid"
mkdir -p "$(dirname "$WINEPREFIX")" "$ports"
# -displayfd: the server picks a free display and prints its number once ready.
setsid Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$WINEPREFIX.display.new" \
  >/dev/null 2>&1 </dev/null &
echo $! >"$WINEPREFIX.xvfb-pid"
for _ in $(seq 100); do
  [ -s "$WINEPREFIX.display.new" ] && break
  sleep 0.1
done
[ -s "$WINEPREFIX.display.new" ] || { echo "wine-prefix: Xvfb did not start" >&2; exit 1; }
echo ":$(cat "$WINEPREFIX.display.new")" >"$WINEPREFIX.display"
rm -f "$WINEPREFIX.display.new"
# Every Wine process of the run uses this display, this script's too: the desktop process
# that Wine starts keeps the display of the process that started it, and a desktop without
# one makes every later window fail to be created.
export DISPLAY=$(cat "$WINEPREFIX.display")
rm -rf "$WINEPREFIX"
reg=$(dirname "$WINEPREFIX")/wine-ports.reg
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
  for n in $(seq 1 "$hakaron_program_ports"); do printf '"COM%s"="%s/COM%s"\r\n' "$n" "$ports" "$n"; done
  # No window manager runs on the virtual display: Wine would wait two seconds for one each
  # time a window is hidden, which Windows never does. Its windows go unmanaged.
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
  # Nor a graphics card: Qt's first window looks at Direct3D, which Wine would answer with a
  # third of a second of software OpenGL. Qt draws its widgets without it.
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Direct3D]\r\n"renderer"="no3d"\r\n'
} >"$reg"
hakaron_wine wineboot -i >/dev/null 2>&1
hakaron_wine wine regedit /S "$(hakaron_wine winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# The links are remade when Wine starts next.
hakaron_wine wine cmd /c exit >/dev/null 2>&1 || true
hakaron_check_ports
# The run's Wine session stays up until wine.stop, its services (the desktop, devices) started
# here, with no test's output to hold: started by a test's `wine`, they would keep its pipes
# open and ctest would wait for that test until the whole run ended.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
setsid wineserver -p >/dev/null 2>&1 </dev/null
hakaron_wine wine cmd /c exit >/dev/null 2>&1 </dev/null || true
