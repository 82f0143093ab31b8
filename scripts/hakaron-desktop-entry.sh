#!/bin/sh
# Writes hakaron.desktop for the program folder this script lies in (after unpacking the
# archive, or after moving the folder). With --menu it also puts the entry into the
# desktop's application menu (~/.local/share/applications).
set -eu
dir=$(cd "$(dirname "$0")" && pwd)
cat > "$dir/hakaron.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Hakaron
Comment=身長体重計の測定データを記録します
Exec="$dir/hakaron"
Path=$dir
Icon=$dir/hakaron.svg
Terminal=false
Categories=Utility;
ENTRY
chmod +x "$dir/hakaron.desktop"
if [ "${1:-}" = "--menu" ]; then
  apps=${XDG_DATA_HOME:-$HOME/.local/share}/applications
  mkdir -p "$apps"
  cp "$dir/hakaron.desktop" "$apps/hakaron.desktop"
  echo "Added to the application menu: $apps/hakaron.desktop"
fi
echo "Desktop entry: $dir/hakaron.desktop"
