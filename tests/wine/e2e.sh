#!/usr/bin/env bash
# The real hakaron.exe under Wine beside the Linux virtual meter on a pty that the Wine
# prefix maps to COM1: a class measured in manual mode with automatic writing, the meter's
# cable pulled and pushed back between two people, and --save-csv of the resulting set
# byte-identical to the Linux program's CSV of the same record file; then command mode, its
# requests asked by the keys.
#   e2e.sh WINE_RUN EXE LINUX_BUILD PORTS
# Exit 77 (skipped) without a Linux build, which has the meter.
set -euo pipefail
wine_run=$1 exe=$2 linux=$3 ports=$4
meter_bin=$linux/hakaron-meter
linux_bin=$linux/program/hakaron
if [ ! -x "$meter_bin" ] || [ ! -x "$linux_bin" ]; then
  echo "wine.e2e skipped: no Linux build in $linux (scripts/build.sh builds the meter)"
  exit 77
fi
export LC_ALL=C
# The display of the run's Wine prefix (wine-prefix.sh), where the program's windows open.
prefix_display=$(dirname "$wine_run")/wine-prefix.display
[ -s "$prefix_display" ] && export DISPLAY=$(cat "$prefix_display")
work=$(mktemp -d)
meter_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$meter_pid" ] && kill "$meter_pid" 2>/dev/null
  wait 2>/dev/null
  rm -f "$ports/COM1"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "wine.e2e: FAIL: $*" >&2
  [ -f "$work/program.log" ] && grep -av '^0x' "$work/program.log" | tail -20 | sed 's/^/  program: /' >&2
  exit 1
}

# Records of the file: three 20-byte labels, nine 10-byte values, space-padded.
record() {
  local out='' i
  for i in 0 1 2; do out+=$(printf '%-20s' "${labels[$i]:-}"); done
  for i in 0 1 2 3 4 5 6 7 8; do out+=$(printf '%-10s' "${values[$i]:-}"); done
  printf '%s' "$out"
}
labels=($'\x90\x67\x91\xcc\x91\xaa\x92\xe8' 2024/05/01 $'\x8e\x52\x93\x63') values=()
header=$(record)
labels=($'\x91\x67' $'\x8f\x6f\x90\xc8\x94\xd4\x8d\x86' $'\x8d\x80\x96\xda') values=()
captions=$(record)
labels=() values=('' '  170.0' 20.8 '   60.0' 63.58 63.24 63.70 -5.12 -5.81)
person170=$(record)
labels=() values=('' '  151.0' 18.8 '   42.8' 50.16 41.74 42.85 2.53 -0.13)
person151=$(record)
blank=$(printf '%150s' '')

folder=$work/program
mkdir -p "$folder/Org" "$folder/Name_List" "$ports"
cp "$exe" "$(dirname "$exe")/hakaron-window.dll" "$folder/"
# Manual mode on COM1, automatic writing after one second.
printf '"4800,E,8,1",1,0,1,1\r\n' >"$folder/Org/user.dat"
printf '%s%s%s' "$header" "$captions" "$blank" >"$folder/Org/zqmtemp.rdm"

# Whether a process other than the meter holds DEVICE open (the program, or Wine's server
# for it).
held_by_program() {
  local holders
  holders=$(find /proc/[0-9]*/fd -maxdepth 1 -lname "$1" 2>/dev/null || true)
  [ -n "$(grep -v "^/proc/$meter_pid/" <<<"$holders" || true)" ]
}
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
release() { printf '\002%s\003' "$2" >"$1"; }
has_records() { [ $(($(stat -c %s "$folder/Org/zqmtemp.rdm") / 150)) -ge "$1" ]; }
replugged() { [ -n "$(sed -n 2p "$work/meter.out")" ]; }

cat >"$work/meter.txt" <<'SCRIPT'
wait GO
send SY 170.0
send TZ 60.0
pause 3000
replug 2000
wait GO
send SY 151.0
send TZ 42.8
SCRIPT
# Starts the virtual meter on the prefix's COM1 (its first line: its device) and hakaron.exe
# in its folder, and waits until the program holds that device.
start_meter_and_program() {
  local out=$1
  shift
  "$meter_bin" "$@" --link "$ports/COM1" >"$out" &
  meter_pid=$!
  wait_until 20 test -s "$out" || fail "the meter did not start ($*)"
  device=$(sed -n 1p "$out")
  (cd "$folder" && exec "$wine_run" "$folder/hakaron.exe") >"$work/program.log" 2>&1 &
  program_pid=$!
  wait_until 120 held_by_program "$device" || fail "hakaron.exe did not open COM1 ($device, $*)"
}
start_meter_and_program "$work/meter.out" --mode manual --script "$work/meter.txt"
release "$device" GO
wait_until 60 has_records 4 || fail "the first reading was not written automatically"
# The meter's cable is pulled and pushed back: a new line behind the same COM1.
wait_until 30 replugged || fail "the meter did not replug"
device=$(sed -n 2p "$work/meter.out")
wait_until 120 held_by_program "$device" || fail "hakaron.exe did not reopen COM1 after the replug"
# The nurse reads the messages about the pulled cable and presses Enter; automatic writing
# waits while a message is open.
release "$device" GO
written_after_enter() {
  has_records 5 && return 0
  if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null && [ $((SECONDS % 5)) = 0 ]; then
    xdotool key Return 2>/dev/null || true
    sleep 1
  fi
  return 1
}
wait_until 90 written_after_enter || fail "the reading after the replug was not written"
stop_program() {
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=
  kill "$meter_pid" 2>/dev/null || true
  wait "$meter_pid" 2>/dev/null || true
  meter_pid=
}
stop_program

expected=$header$captions$person170$person151$blank
[ "$(cat "$folder/Org/zqmtemp.rdm")" = "$expected" ] ||
  fail "the record file differs: $(od -c "$folder/Org/zqmtemp.rdm" | head -20)"
echo "wine.e2e: both readings written automatically, the second after a replug"

# Command mode: the nurse goes to the first unmeasured number (Ctrl+U) and asks for the
# height (Ctrl+Q) and the weight (Ctrl+T); the whole person is written automatically.
if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
  cp "$folder/Org/zqmtemp.rdm" "$work/manual.rdm"
  printf '"4800,E,8,1",1,1,1,1\r\n' >"$folder/Org/user.dat"
  start_meter_and_program "$work/command-meter.out" --mode command --height 160.5 --weight 50.2
  window=
  found_window() { window=$(xdotool search --onlyvisible --name 'ver\.1\.30' 2>/dev/null | head -1); [ -n "$window" ]; }
  wait_until 60 found_window || fail "no main window in command mode"
  press() { xdotool windowfocus --sync "$window" key "$1" 2>/dev/null || true; sleep 1; }
  press ctrl+u
  asked_person() {
    local no3
    no3=$(dd if="$folder/Org/zqmtemp.rdm" bs=150 skip=4 count=1 2>/dev/null)
    [ "${no3:60:20}${no3:90:10}" = "$(printf '%-10s' '' '  160.5' '   50.2')" ] && return 0
    press ctrl+q
    press ctrl+t
    sleep 3
    return 1
  }
  wait_until 90 asked_person ||
    fail "the requested person was not written to No.3: $(od -c "$folder/Org/zqmtemp.rdm" | tail -12)"
  stop_program
  cmp -n 600 "$work/manual.rdm" "$folder/Org/zqmtemp.rdm" || fail "command mode changed No.1 or No.2"
  echo "wine.e2e: command mode: the requested height and weight written to No.3"
  cp "$work/manual.rdm" "$folder/Org/zqmtemp.rdm"
else
  echo "wine.e2e: command mode not tried: no display or no xdotool to press its keys"
fi

# The same set saved by both programs.
(cd "$folder" && "$wine_run" "$folder/hakaron.exe" --save-csv "$work/windows.csv") ||
  fail "hakaron.exe --save-csv failed"
linux_folder=$work/linux
mkdir -p "$linux_folder/Org" "$linux_folder/Name_List"
cp "$linux_bin" "$linux_folder/hakaron"
cp "$folder/Org/zqmtemp.rdm" "$folder/Org/user.dat" "$linux_folder/Org/"
env -u DISPLAY -u QT_QPA_PLATFORM "$linux_folder/hakaron" --save-csv "$work/linux.csv" ||
  fail "the Linux program's --save-csv failed"
cmp "$work/windows.csv" "$work/linux.csv" || fail "the CSVs differ"
echo "wine.e2e: --save-csv byte-identical to the Linux program's ($(stat -c %s "$work/linux.csv") bytes)"
