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
    sleep 1
    echo "== start-up: tessal started → its icon docked in the tray, the shortcut held (trayer) =="
    "$build/bench/tessal-startup" --runs 10 -- "$TESSAL" | grep -v '^run'
    tessal_start
    sleep 3
    echo "== idle memory of the resident program (1920x1080, tray) =="
    grep -E 'VmRSS|VmHWM' /proc/$TESSAL_PID/status
)

echo "== annotation: privacy pieces, 4K export, redraw with 200 marks (offscreen) =="
"$build/bench/tessal_annotation_bench" 2>/dev/null | grep -E '^BM_'
echo "== editing session: click to toolbar, Return to clipboard (offscreen, in process) =="
"$build/bench/tessal_editor_bench" 2>/dev/null | grep -E '^BM_'

echo "== scroll stitcher: append time, memory, exactness (offscreen) =="
"$build/bench/tessal_stitch_bench" 2>/dev/null | grep -E 'frames|exactness|median|_max'

echo "== child regions: visual analysis of a 1536 × 1000-point window, warm lookup (offscreen) =="
"$build/bench/tessal_regions_bench" 2>/dev/null | grep -E '^BM_'

(
    source "$here/../tests/system/world.sh"
    world_start 1920x1080 --no-tray
    dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null
    if command -v gtk3-demo >/dev/null; then
        GTK_MODULES=gail:atk-bridge gtk3-demo >/dev/null 2>&1 &
        pid=$!
        WORLD_PIDS+=($pid)
        wait_for 10 xdotool search --pid $pid --onlyvisible --name .
        sleep 2
        echo "== accessibility query against gtk3-demo (AT-SPI) =="
        "$build/bench/tessal-atspi-bench" $pid 40
    fi
)

for size in 1920x1080 3840x2160; do
    (
        source "$here/../tests/system/world.sh"
        world_start "$size"
        world_defaults '{"childRegionPermissionGuideShown": true}'
        fixture_start --window 300,300,600,400,copy-a,#e0e8f0
        tessal_start
        sleep 1
        w=${size%x*} h=${size#*x}
        choose="xdotool key ctrl+1; sleep 0.5; xdotool mousemove 700 100 mousedown 1 mousemove 900 400 mousemove $((w - 100)) $((h - 100)) mouseup 1; sleep 0.3"
        # Both probes over a backdrop the X server paints itself: over a program's window they
        # would also time that program's repaint once uncovered.
        echo "== Return to session closed (overlay gone), $size, most of the display =="
        "$build/bench/tessal-latency" --probe 150,150 --backdrop --key Return --setup "$choose" --no-escape --runs 20 | tail -n1
        echo "== Return to image/png readable with xclip, $size =="
        "$build/bench/tessal-latency" --probe 50,50 --key Return --setup "$choose" --no-escape --until-clipboard --runs 10 | tail -n1
        echo "== the X server alone: a full-screen window unmapped until the probe shows what it covered, $size =="
        "$build/bench/tessal-latency" --probe 150,150 --backdrop --unmap-floor --runs 20 | tail -n1
    )
done

echo "== long capture: main-thread turns and memory (offscreen, fake window stream) =="
"$build/bench/tessal_long_capture_bench" 2>/dev/null | grep -v '^This plugin\|^long capture closed'
bash "$here/long_capture.sh"
(
    source "$here/../tests/system/world.sh"
    world_start 3840x2160 --no-tray
    seconds=${STREAM_SECONDS:-300}
    echo "== long capture: a 3840 × 2160 window changing 60 times a second, streamed for $seconds s to a receiver taking 20 frames a second =="
    "$build/tests/tessal-stream-probe" --load 3840 2160 "$seconds" 20 | sed 's/^/  /'
)

bash "$here/ocr.sh" "$build"

echo "== screenshot history: record a 4K PNG, open the window over 100 4K entries (offscreen) =="
"$build/bench/tessal_history_bench" 2>/dev/null | grep -E '^BM_'

echo "== hover: main-thread cost per pointer move with a 200 ms region source (offscreen) =="
"$build/bench/tessal_hover_bench" 2>/dev/null | grep -E '^BM_'

echo "== one screen-sized memory pass, warm and after idle (this machine's floor for the overlay) =="
"$build/bench/tessal-cold-copy"

for size in 1920x1080 3840x2160; do
    (
        source "$here/../tests/system/world.sh"
        world_start "$size"
        world_defaults '{"childRegionPermissionGuideShown": true}'
        fixture_start --window 100,100,600,400,latency-a,#ffffff --window 900,500,400,300,latency-b,#202020
        # A wallpaper over the whole root, as every desktop draws one: Xvfb's black root leaves
        # pages of its frame buffer never written, and the first dimming after launch would time
        # the server faulting them in (15 ms at 1080p), which no real desktop shows.
        xsetroot -solid '#2e3440'
        xdotool mousemove 1000 600
        tessal_start
        sleep 1
        echo "== shortcut to dimmed overlay, $size: Tessal, Ctrl+1 (XTest key press), the first after launch included =="
        "$build/bench/tessal-latency" --probe 300,300 --key ctrl+1 --runs 20 | tail -n1
        echo "== shortcut to live overlay (the window under the pointer lit again), $size =="
        "$build/bench/tessal-latency" --probe 1000,650 --key ctrl+1 --until-restored --runs 20 | tail -n1
        echo "== command to dimmed overlay, $size: tessal capture =="
        "$build/bench/tessal-latency" --probe 300,300 --command "$TESSAL capture" --runs 10 | tail -n1
        kill "$TESSAL_PID"
        echo "== shortcut to live overlay, $size: the first capture after launch, Tessal started afresh 5 times =="
        for run in 1 2 3 4 5; do
            wait "$TESSAL_PID" 2>/dev/null
            tessal_start
            sleep 1.5
            "$build/bench/tessal-latency" --probe 1000,650 --key ctrl+1 --until-restored --runs 1 |
                sed -n 's/^run 1: /  /p'
            kill "$TESSAL_PID"
        done
        if command -v flameshot >/dev/null; then
            flameshot >"$WORLD/flameshot.log" 2>&1 &
            WORLD_PIDS+=($!)
            sleep 2
            echo "== command to dimmed overlay, $size: flameshot gui (daemon running) =="
            "$build/bench/tessal-latency" --probe 300,300 --command "flameshot gui >/dev/null 2>&1" --runs 20 | tail -n1
        fi
    )
done

echo "== update: prepare of a 30 MB release from the loopback (own network namespace) =="
unshare -rn sh -c 'ip link set lo up && exec "$0"' "$build/bench/tessal-update-prepare-bench"
echo "== install sizes: Debian package and bundle tarball =="
(cd "$build" && cpack -G DEB -B "$build/bench-package" >/dev/null 2>&1 && ls -l "$build"/bench-package/*.deb | awk '{printf "  %s %.1f MB\n", $9, $5/1e6}')
key=$(mktemp) && rm -f "$key" && "$build/tessal-bundle-sign" keygen "$key" >/dev/null &&
    bundle=$(bash "$here/../scripts/bundle.sh" "$build" "$build/bench-package" "$key") &&
    ls -l "$bundle" | awk '{printf "  %s %.1f MB\n", $9, $5/1e6}'
rm -f "$key"

echo "== Wayland: tessal capture → overlay (headless sway), screencopy and portal, beside grim =="
bash "$here/wayland_capture.sh" "$build" 10 2>/dev/null | grep -E "tessal capture|grim"

echo "== Wayland: one window-list query on sway with 30 windows, beside the socket exchange alone =="
bash "$here/wayland_windows.sh" "$build" 2>/dev/null | grep -E "sway window list|query|floor"
