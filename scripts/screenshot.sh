#!/usr/bin/env bash
# Takes a screenshot of the main window with the program's own start-up, in a private
# temporary home (no real data, settings or timers are touched), on the offscreen platform.
#   scripts/screenshot.sh [output.png] [data file to show]
set -euo pipefail
cd "$(dirname "$0")/.."
output="$(readlink -f "${1:-docs/screenshot-main.png}")"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Documents" "$home/config" "$home/runtime" "$home/bin"
chmod 700 "$home/runtime"
printf '#!/bin/sh\nexit 0\n' > "$home/bin/systemctl"
cp "$home/bin/systemctl" "$home/bin/notify-send"
chmod +x "$home/bin/systemctl" "$home/bin/notify-send"
if [ -n "${2:-}" ]; then
    cp "$2" "$home/Documents/Velumina.dat"
fi
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" PATH="$home/bin:$PATH" \
    QT_QPA_PLATFORM=offscreen VELUMINA_SCREENSHOT="$output" build/velumina 2>/dev/null
echo "Saved $output"
