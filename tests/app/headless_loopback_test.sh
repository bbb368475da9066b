#!/usr/bin/env bash
# Starts the headless mode around a stand-in program and checks that its VNC port answers on
# 127.0.0.1 and is refused on every other address of this machine.
set -uo pipefail
headless="$1"
for tool in Xvfb x11vnc; do
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

failed=0
# Every address of this machine that is not a loopback one.
addresses=$(ip -o addr show 2>/dev/null | awk '{print $4}' | cut -d/ -f1 | grep -v -e '^127\.' -e '^::1$')
for address in $addresses; do
    case "$address" in
    fe80:*) continue ;; # link-local needs an interface name
    *:*) target="[$address]" ;;
    *) target="$address" ;;
    esac
    if timeout 3 bash -c "exec 3<>/dev/tcp/$address/$port" 2>/dev/null; then
        echo "FAIL: $target:$port accepts connections"
        failed=1
    else
        echo "ok: $target:$port refused"
    fi
done
# And whatever the addresses: no socket on the port listens beyond the loopback.
listeners=$(ss -ltnH "sport = :$port" 2>/dev/null | awk '{print $4}')
echo "listening: $listeners"
if echo "$listeners" | grep -v -e '^127\.0\.0\.1:' -e '^\[::1\]:' | grep -q .; then
    echo "FAIL: the VNC port listens beyond the loopback"
    failed=1
fi
exit $failed
