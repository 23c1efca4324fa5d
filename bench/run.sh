#!/usr/bin/env bash
# Prints the figures the benchmarks measure. Usage: bench/run.sh BUILD_DIR
# Each part starts its own Xvfb; nothing here is a pass/fail test.
set -u
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
export TESSAL=$build/tessal TESSAL_FIXTURE=$build/tests/tessal-fixture

for size in 1920x1080 3840x2160; do
    (
        source "$here/../tests/system/world.sh"
        world_start "$size" --no-tray
        echo "== display snapshot, $size (Xvfb) =="
        "$build/bench/tessal_snapshot_bench" --benchmark_filter=. 2>/dev/null | grep -E "median|mean"
    )
done

(
    source "$here/../tests/system/world.sh"
    world_start 1920x1080
    world_defaults '{"childRegionPermissionGuideShown": true}'
    tessal_start
    sleep 3
    echo "== idle memory of the resident program (1920x1080, tray) =="
    grep -E 'VmRSS|VmHWM' /proc/$TESSAL_PID/status
)
