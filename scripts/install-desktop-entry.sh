#!/usr/bin/env bash
# Puts a built Velumina into the desktop's application menu: the build's desktop entry, started
# from the given executable, and the program icon in the user's icon theme folder. Safe to run
# again. An installed package needs none of this: it brings its own entry and icons.
#   scripts/install-desktop-entry.sh /path/to/build/velumina
set -euo pipefail
executable="$(readlink -f "${1:?usage: $0 <path to the velumina executable>}")"
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"

# The build configured the entry under the application id, which also names the icon.
entry="$(ls "$(dirname "$executable")"/install-files/*.desktop 2>/dev/null | head -n 1 || true)"
if [ -z "$entry" ]; then
    echo "no desktop entry next to $executable (configure the build first)" >&2
    exit 1
fi
app_id="$(basename "$entry" .desktop)"

for icon in "$source_dir"/resources/icons/velumina-*.png; do
    [ -f "$icon" ] || continue
    size="$(basename "$icon" .png)"
    size="${size#velumina-}"
    target="$data_home/icons/hicolor/${size}x${size}/apps"
    mkdir -p "$target"
    install -m 0644 "$icon" "$target/$app_id.png"
    rm -f "$target/velumina.png" # the name earlier versions used
done

# Exec= quoting: a path with spaces is quoted; quote, backslash, dollar and backtick escaped.
quoted="$(printf '%s' "$executable" | sed -e 's/[\\"`$]/\\&/g')"
mkdir -p "$data_home/applications"
while IFS= read -r line; do
    case "$line" in
        Exec=*) printf 'Exec="%s"\n' "$quoted" ;;
        *) printf '%s\n' "$line" ;;
    esac
done < "$entry" > "$data_home/applications/$app_id.desktop"
rm -f "$data_home/applications/velumina.desktop"
if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database "$data_home/applications" >/dev/null 2>&1 || true
fi
echo "Velumina is in the application menu ($data_home/applications/$app_id.desktop)."
