#!/usr/bin/env bash
# Automatic scrolling on the headless sway world, through the user's path: a 1000 × 800 region
# of a terminal's scrollback (foot, 1200 numbered lines: over 20 screens of the region),
# "长截图", "自动滚动" until it stops at the end by itself, Return. Prints the frames a second the
# stream delivered and the main thread's worst turn (Tessal's own count), the time from
# "自动滚动" to the end, Tessal's peak and current memory, and the result's size.
# Usage: bench/wayland_auto_scroll.sh BUILD_DIR
set -u
if [ -z "${TESSAL_WAYLAND_INNER:-}" ]; then
    build=$(cd "${1:-build}" && pwd -P)
    export TESSAL=$build/tessal TESSAL_WL_POINTER=$build/tests/tessal-wl-pointer
fi
here=$(dirname "$0")
if [ -f "$here/wayland_world.sh" ]; then source "$here/wayland_world.sh"
else source "$here/../tests/system/wayland_world.sh"; fi
wayland_world_as_user "$@"
wayland_world_start 1600x1000
require python3:python3 /usr/libexec/at-spi-bus-launcher:at-spi2-core
source "$here/wayland_long_capture.sh"
export QT_LOGGING_RULES="tessal.longcapture.info=true"
accessibility_start
scrollback_document 1200

X=100 Y=80 W=1000 H=800
tessal_start
start_long_capture $X $Y $W $H
before=$(grep VmRSS "/proc/$TESSAL_PID/status" | awk '{print $2}')
start=$(date +%s.%N)
press_on_controls "自动滚动"
status_is "画面未变化，自动滚动已停止。可手动继续，或直接复制。" 600 || fail "it did not stop at the end"
end=$(date +%s.%N)
peak=$(grep VmHWM "/proc/$TESSAL_PID/status" | awk '{print $2}')
rss=$(grep VmRSS "/proc/$TESSAL_PID/status" | awk '{print $2}')
key_to_controls Return
wait_for 10 sh -c "wl-paste --type image/png > '$WORLD/result.png' && test -s '$WORLD/result.png'" ||
    fail "no image/png on the clipboard"
log=$(grep 'long capture closed' "$WORLD/tessal.log" | tail -n1)
# From the PNG header: ImageMagick's usual policy refuses pictures over 16384 rows.
size=$(python3 -c 'import struct, sys
print("%dx%d" % struct.unpack(">II", open(sys.argv[1], "rb").read(24)[16:24]))' "$WORLD/result.png")
echo "$log"
# The stop waits 2 s without a change: not part of the scrolling.
awk -v s="$start" -v e="$end" -v h="${size#*x}" -v H=$H -v b="$before" -v p="$peak" -v r="$rss" \
    -v size="$size" -v region="${W}x$H" 'BEGIN {
        printf "auto-scrolling a %s region: result %s (%.1f screens)\n", region, size, h / H
        printf "  to the end: %.1f s (%.1f s after the 2 s stop wait excluded)\n", e - s, e - s - 2
        printf "  memory: %.0f MiB before, %.0f MiB at the end, %.0f MiB peak\n", b / 1024, r / 1024, p / 1024
    }'
echo "$log" | sed -n 's/.*; \([0-9.]*\) frames a second over \([0-9.]*\) s, main thread worst turn \([0-9]*\) ms/  frames a second: \1 over \2 s; main thread worst turn: \3 ms/p'
