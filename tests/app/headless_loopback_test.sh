#!/usr/bin/env bash
# Starts the headless mode around a stand-in program and checks that its VNC port answers on
# 127.0.0.1 and that no socket on the port listens on any other address of this machine.
set -uo pipefail
headless="$1"
for tool in Xvfb x11vnc ss; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

# A port nothing uses yet.
port=""
for candidate in $(seq 5990 6090); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
        port=$candidate
        break
    fi
done
[ -n "$port" ] || { echo "no free port"; exit 1; }

VELUMINA_VNC_PORT=$port "$headless" sleep 30 >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null' EXIT

for _ in $(seq 150); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done
if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    echo "FAIL: nothing answers on 127.0.0.1:$port"
    exit 1
fi

# A listener on a wildcard address (0.0.0.0, [::], *) or any other address answers beyond
# the loopback.
listeners=$(ss -ltnH "sport = :$port" | awk '{print $4}')
echo "listening: $listeners"
if echo "$listeners" | grep -v -e '^127\.0\.0\.1:' -e '^\[::1\]:' | grep -q .; then
    echo "FAIL: the VNC port listens beyond the loopback"
    exit 1
fi
