#!/usr/bin/env bash
# Unattended demo for a machine without a display: the virtual meter in manual mode sends
# three people's readings, Hakaron writes them automatically under a virtual display, then
# the records are printed from the record file and a screenshot is kept.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"
demo="$build/demo-program"
rm -rf "$demo"
mkdir -p "$demo/Org" "$demo/Name_List" "$demo/ports"
cp "$build/program/hakaron" "$build/program/hakaron-window.so" "$demo/"
printf '"4800,E,8,1",1,1,1,2\r\n' > "$demo/Org/user.dat"
screenshot="$build/run-screenshot.png"
rm -f "$screenshot"

export DEMO_DIR="$demo" METER="$build/hakaron-meter" SHOT="$screenshot"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  "$METER" --link "$DEMO_DIR/ports/COM1" --mode manual --interval 4 --count 3 --seed 7 \
      > "$DEMO_DIR/meter.log" 2>&1 &
  meter=$!
  for _ in $(seq 100); do [ -L "$DEMO_DIR/ports/COM1" ] && break; sleep 0.1; done
  "$DEMO_DIR/hakaron" > "$DEMO_DIR/hakaron.log" 2>&1 &
  app=$!
  # Three people written plus the fresh blank record after them: 2 + 4 records.
  for _ in $(seq 300); do
    size=$(stat -c %s "$DEMO_DIR/Org/zqmtemp.rdm" 2>/dev/null || echo 0)
    [ "$size" -ge 900 ] && break
    sleep 0.1
  done
  sleep 1
  import -window root "$SHOT" 2>/dev/null || true
  kill "$app" "$meter" 2>/dev/null
  wait "$app" "$meter" 2>/dev/null
  exit 0
'

field() {  # record file, record number, byte offset, width
  dd if="$1" bs=1 skip=$(( ($2 - 1) * 150 + $3 )) count="$4" status=none |
    iconv -f CP932 -t UTF-8 | sed 's/^ *//; s/ *$//'
}
file="$demo/Org/zqmtemp.rdm"
count=$(( $(stat -c %s "$file" 2>/dev/null || echo 0) / 150 ))
echo "Records written by Hakaron in $file:"
printf '%-4s %-8s %-8s %-6s %-8s %-8s %-10s %-10s %-8s %-8s\n' No. 座高 身長 BMI 体重 BMI適正 日比男 日比女 肥満男 肥満女
written=0
for (( r = 3; r <= count; r++ )); do
  h=$(field "$file" $r 70 10)
  [ -z "$h" ] && continue
  written=$((written + 1))
  printf '%-4s %-8s %-8s %-6s %-8s %-8s %-10s %-10s %-8s %-8s\n' $((r - 2)) \
    "$(field "$file" $r 60 10)" "$h" "$(field "$file" $r 80 10)" "$(field "$file" $r 90 10)" \
    "$(field "$file" $r 100 10)" "$(field "$file" $r 110 10)" "$(field "$file" $r 120 10)" \
    "$(field "$file" $r 130 10)" "$(field "$file" $r 140 10)"
done
[ -f "$screenshot" ] && echo "Screenshot of the main window: $screenshot"
if [ "$written" -lt 3 ]; then
  echo "The demo wrote $written of 3 records; see $demo/hakaron.log and $demo/meter.log" >&2
  exit 1
fi
