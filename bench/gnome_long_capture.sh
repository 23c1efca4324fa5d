#!/usr/bin/env bash
# Long capture on the headless GNOME world as a user takes it (the system test
# test_gnome_long_capture: a region of 600 × 400 points in a maximized terminal, "长截图",
# "自动滚动" to the end of 240 lines, Return), RUNS times. Prints, per run, what the capture
# logged when it closed (frames, frames a second, span, the main thread's worst turn, the
# result's size) and the program's memory before Return, through GNOME's own services and through
# the desktop portal; then the medians of each. The floor for frames
# a second is GNOME's screen cast of a busy terminal (bench/gnome_screencast.sh: about 27);
# automatic scrolling paces itself at one wheel step per frame that shows it, at most one each
# 0.3 s.
# Usage: bench/gnome_long_capture.sh BUILD_DIR [RUNS]
set -u
build=$(cd "${1:-build}" && pwd -P)
runs=${2:-3}
here=$(cd "$(dirname "$0")" && pwd -P)
export TESSAL=$build/tessal TESSAL_STREAM_PROBE=$build/tests/tessal-stream-probe
export TESSAL_WL_POINTER=$build/tests/tessal-wl-pointer
for i in $(seq "$runs"); do
    start=$(date +%s)
    out=$(bash "$here/../tests/system/test_gnome_long_capture.sh" 2>&1)
    status=$?
    [ $status -eq 0 ] || { echo "run $i failed ($status):"; echo "$out" | tail -n 5; continue; }
    echo "run $i ($(($(date +%s) - start)) s in all):"
    for path in 1:gnome 2:portal; do
        closed=$(echo "$out" | grep -o 'long capture closed:.*' | sed -n "${path%%:*}p")
        memory=$(echo "$out" | grep -o 'memory:.*' | sed -n "${path%%:*}p")
        echo "  ${path#*:}: $closed; $memory"
        echo "$closed" | sed -E 's/.* ([0-9.]+) frames a second over ([0-9.]+) s, main thread worst turn ([0-9]+) ms/\1 \2 \3/' >>"$build/gnome_long_capture.${path#*:}"
    done
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for path in gnome portal; do
    f=$build/gnome_long_capture.$path
    [ -s "$f" ] || continue
    echo "medians, $path: $(awk '{print $1}' "$f" | median) frames a second," \
        "$(awk '{print $2}' "$f" | median) s, worst turn $(awk '{print $3}' "$f" | median) ms"
    rm -f "$f"
done
