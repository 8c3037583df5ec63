#!/usr/bin/env bash
# Runs a command on a private virtual X server (1024 × 768, 24 bits), with Qt programs on it
# whatever platform the caller's environment names:
#   with-xvfb.sh COMMAND [ARGUMENT...]
# The display number is drawn at random from a wide range and the server is only used once a
# client has reached it; other servers on the machine (possibly in other file-system views,
# sharing the abstract socket names) are thereby avoided.
set -euo pipefail
state=$(mktemp -d)
server=""
cleanup() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$state"
}
trap cleanup EXIT

for _ in 1 2 3 4 5; do
    display=$((1000 + RANDOM % 29000))
    [ -e "/tmp/.X$display-lock" ] && continue
    # A display someone else already answers on is not ours.
    xdpyinfo -display ":$display" >/dev/null 2>&1 && continue
    # -noreset: the server must not reset (and refuse connections) whenever its last client goes.
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset 2>"$state/log" &
    server=$!
    for _ in $(seq 1 100); do
        kill -0 "$server" 2>/dev/null || break
        if xdpyinfo -display ":$display" >/dev/null 2>&1; then
            export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
            status=0
            "$@" || status=$?
            exit "$status"
        fi
        sleep 0.1
    done
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    server=""
done
echo "no virtual X server could be started: $(cat "$state/log" 2>/dev/null)" >&2
exit 1
