#!/usr/bin/env bash
# Puts Velumina into the desktop's application menu: a desktop entry for the given executable
# and the program icon in the user's icon theme folder. Safe to run again.
#   scripts/install-desktop-entry.sh /path/to/build/velumina
set -euo pipefail
executable="$(readlink -f "${1:?usage: $0 <path to the velumina executable>}")"
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"

for icon in "$source_dir"/resources/icons/velumina-*.png; do
    [ -f "$icon" ] || continue
    size="$(basename "$icon" .png)"
    size="${size#velumina-}"
    target="$data_home/icons/hicolor/${size}x${size}/apps"
    mkdir -p "$target"
    install -m 0644 "$icon" "$target/velumina.png"
done

# Exec= quoting: a path with spaces is quoted; quote, backslash, dollar and backtick escaped.
quoted="$(printf '%s' "$executable" | sed -e 's/[\\"`$]/\\&/g')"
mkdir -p "$data_home/applications"
cat > "$data_home/applications/velumina.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Velumina
GenericName=Cycle Calendar
Comment=Private menstruation and ovulation calendar
Exec="$quoted"
Icon=velumina
Terminal=false
Categories=Utility;Calendar;
StartupWMClass=velumina
DESKTOP
if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database "$data_home/applications" >/dev/null 2>&1 || true
fi
echo "Velumina is in the application menu ($data_home/applications/velumina.desktop)."
