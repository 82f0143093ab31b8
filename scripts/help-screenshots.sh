#!/usr/bin/env bash
# Retakes the pictures of the help manual (info/help/images) under a virtual display, with
# the Japanese fonts the program is shown in. Look at them before committing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/ensure-deps.sh"
"$top/scripts/build.sh" --target hakaron-help-shots
out=${1:-$top/info/help/images}
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24" "$top/build/tests/info/hakaron-help-shots" "$shots"
# The manual shows the windows; the full-size help window itself stays out of it.
mkdir -p "$out"
for name in main notice journal usersetting labelsetting commsetting about question \
  namelist namecall nameload csvprogress preview summary report; do
  cp "$shots/$name.png" "$out/$name.png"
done
rm -rf "$top/build/help-window"
mkdir -p "$top/build/help-window"
cp "$shots"/help*.png "$top/build/help-window/"
echo "Pictures written to $out; the help window's pages: build/help-window/"
