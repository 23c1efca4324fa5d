#!/usr/bin/env bash
# Starts Tessal on the current display or, when there is none, on a virtual one with a window
# manager and a tray, and says so.
set -u
binary=${1:-build/tessal}
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; }
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    fd_file=$(mktemp)
    exec 5>"$fd_file"
    Xvfb -displayfd 5 -screen 0 1920x1080x24 +extension Composite +extension RANDR \
        -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    exec 5>&-
    for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$fd_file")"
    rm -f "$fd_file"
    openbox --sm-disable >/dev/null 2>&1 &
    pids+=($!)
    sleep 0.5
    trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 &
    pids+=($!)
    echo "No display found: started a virtual display on DISPLAY=$DISPLAY (Xvfb, 1920x1080)."
    echo "Look at it with: DISPLAY=$DISPLAY import -window root screen.png"
fi
echo "Starting Tessal on DISPLAY=$DISPLAY; press Ctrl+1 to capture, Ctrl+C here to quit."
"$binary"
