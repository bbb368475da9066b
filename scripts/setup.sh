#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the Debian packages Velumina needs and
# configures a build folder. Sourced, not run.

VELUMINA_PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins
    libgtest-dev googletest libbenchmark-dev
    tzdata fonts-dejavu-core
    libnotify-bin
    libsodium-dev
    libical-dev
    desktop-file-utils appstream file dbus-daemon
)

# Only for run.sh without a display: a virtual screen and a VNC server bound to 127.0.0.1.
VELUMINA_HEADLESS_PACKAGES=(xvfb x11vnc)

velumina_install_packages() {
    local missing=()
    local package
    for package in "${VELUMINA_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "error: packages are missing (${missing[*]}) and neither root nor sudo is available" >&2
            return 1
        fi
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q || return 1
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" || return 1
}

# velumina_configure <build folder> [extra cmake arguments...]
velumina_configure() {
    local build_dir="$1"
    shift
    local generator=()
    if command -v ninja >/dev/null 2>&1; then
        generator=(-G Ninja)
    fi
    if [ ! -f "$build_dir/CMakeCache.txt" ]; then
        cmake -S . -B "$build_dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" || return 1
    else
        cmake -S . -B "$build_dir" "$@" >/dev/null || return 1
    fi
}
