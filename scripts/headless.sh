#!/usr/bin/env bash
# Runs a program on a virtual screen (Xvfb) served by VNC on 127.0.0.1 only:
#   scripts/headless.sh <program> [arguments...]
# Nothing listens on any other address; reach it from another machine through an SSH tunnel
# (see the README). The port is VELUMINA_VNC_PORT (default 5900). Ends when the program ends.
set -euo pipefail

port="${VELUMINA_VNC_PORT:-5900}"
size="${VELUMINA_VNC_SIZE:-480x640}"
for tool in Xvfb x11vnc; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "error: $tool is missing (scripts/setup.sh installs it for the headless mode)" >&2
        exit 1
    fi
done

work="$(mktemp -d)"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Xvfb picks a free display itself and names it on the file descriptor; it opens no TCP port.
Xvfb -displayfd 3 -nolisten tcp -screen 0 "${size}x24" 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "error: the virtual screen did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
display=":$(tr -d '[:space:]' <"$work/display")"

# -localhost and -listen bind the VNC port to the loopback address only.
x11vnc -display "$display" -localhost -listen 127.0.0.1 -noipv6 -rfbport "$port" -forever -shared \
    -nopw -quiet -o "$work/x11vnc.log" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    (exec 4<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    if ! kill -0 "${pids[-1]}" 2>/dev/null; then
        echo "error: the VNC server did not start (port $port in use?):" >&2
        cat "$work/x11vnc.log" >&2
        exit 1
    fi
    sleep 0.1
done
echo "Connect a VNC viewer to 127.0.0.1:${port} (from elsewhere: an SSH tunnel, see the README)"
DISPLAY="$display" "$@" &
pids+=($!)
wait "${pids[-1]}"
