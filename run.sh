#!/usr/bin/env bash
# Installs what is missing, builds Velumina into build/ and starts it.
# Without a display it starts on a virtual screen served by VNC on 127.0.0.1 only.
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
    # A virtual screen served by VNC on 127.0.0.1 only (Qt's own VNC platform would listen
    # on every address).
    velumina_install_packages "${VELUMINA_HEADLESS_PACKAGES[@]}"
    echo "No display found: starting Velumina on a virtual screen served by VNC."
    exec scripts/headless.sh build/velumina "$@"
fi
exec build/velumina "$@"
