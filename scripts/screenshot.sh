#!/usr/bin/env bash
# Takes a screenshot of the first window the program's own start-up shows, in a private
# temporary home (no real data, settings or timers are touched), on the offscreen platform:
# the main window, or the welcome page over it when the data file holds no day. The program
# ends by itself once that window has painted, also at a password prompt (a settings file
# with protection on), so the script never waits for an answer.
#   scripts/screenshot.sh [output.png] [data file to show] [settings file to use]
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
if [ -n "${3:-}" ]; then
    mkdir -p "$home/config/Quorlen Software"
    cp "$3" "$home/config/Quorlen Software/Velumina.conf"
fi
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" PATH="$home/bin:$PATH" \
    QT_QPA_PLATFORM=offscreen VELUMINA_SCREENSHOT="$home/shot.png" timeout 60 build/velumina 2>/dev/null || true
if [ ! -s "$home/shot.png" ]; then
    echo "No picture was taken: the program ended before its first window painted." >&2
    exit 1
fi
mv "$home/shot.png" "$output"
echo "Saved $output"
