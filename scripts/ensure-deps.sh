#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and ./run need, once, and any packages
# named as arguments (fuzz/run asks for clang and its libFuzzer runtime).
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
          libbenchmark-dev xvfb xauth fonts-noto-cjk imagemagick qt6-translations-l10n
          libqt6svg6 libx11-dev qt6-charts-dev libqt6opengl6-dev xdotool strace poppler-utils "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
