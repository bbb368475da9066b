#!/usr/bin/env bash
# Installs what is missing, builds Velumina into build/ and starts it.
# Without a display it starts on Qt's VNC platform on 127.0.0.1 and prints the address.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

velumina_install_packages
velumina_configure build
cmake --build build --target velumina -j "$(nproc)"

if [ -x scripts/install-desktop-entry.sh ]; then
    scripts/install-desktop-entry.sh "$PWD/build/velumina" || true
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    port="${VELUMINA_VNC_PORT:-5900}"
    echo "No display found: starting Velumina on Qt's VNC platform."
    echo "Connect a VNC viewer to 127.0.0.1:${port}"
    exec env QT_QPA_PLATFORM="vnc:size=480x640:addr=127.0.0.1:port=${port}" build/velumina "$@"
fi
exec build/velumina "$@"
