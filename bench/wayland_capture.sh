#!/usr/bin/env bash
# `tessal capture` → the dimmed, frozen display on the screen, on the headless sway world, through
# screencopy and through the Screenshot portal, beside `grim` of the whole output in the same
# world. "On the screen" is the first frame the compositor draws with the background dimmed (the
# test pointer's `watch`, on the same monotonic clock); beside it sway's window event for the
# overlay (sway maps a window when its first frame is committed), and the output's frame interval.
# Usage: bench/wayland_capture.sh BUILD_DIR [RUNS]
set -u
if [ -z "${TESSAL_WAYLAND_INNER:-}" ]; then
    build=$(cd "${1:-build}" && pwd -P)
    export TESSAL=$build/tessal TESSAL_WL_POINTER=$build/tests/tessal-wl-pointer
fi
export BENCH_RUNS=${2:-10}
# Run again as another user, this script finds the world beside itself.
here=$(dirname "$0")
if [ -f "$here/wayland_world.sh" ]; then source "$here/wayland_world.sh"
else source "$here/../tests/system/wayland_world.sh"; fi
wayland_world_as_user "$@"
wayland_world_start 1920x1080
# A background that dimming changes.
swaymsg output HEADLESS-1 background '#5a7fa8' solid_color >/dev/null
refresh=$(swaymsg -t get_outputs -r | python3 -c 'import json,sys; print(json.load(sys.stdin)[0]["current_mode"]["refresh"])')
echo "HEADLESS-1: 1920x1080 at $((refresh / 1000)).$((refresh % 1000)) Hz: a frame every $(awk "BEGIN{printf \"%.1f\", 1e6 / $refresh}") ms"
sleep 0.5

measure() {
    python3 - "$TESSAL" "$BENCH_RUNS" "$TESSAL_WL_POINTER" <<'PY'
import json, os, select, statistics, subprocess, sys, time
tessal, runs, pointer = sys.argv[1], int(sys.argv[2]), sys.argv[3]
width, height = os.environ["WORLD_WIDTH"], os.environ["WORLD_HEIGHT"]
mapped, dimmed = [], []
for _ in range(runs):
    events = subprocess.Popen(["swaymsg", "-r", "-m", "-t", "subscribe", '["window"]'],
                              stdout=subprocess.PIPE, text=True)
    # The screen where nothing else changes: a corner of the background, away from the pointer.
    watch = subprocess.Popen([pointer, width, height, "watch", "40", "40"],
                             stdout=subprocess.PIPE, text=True)
    baseline = watch.stdout.readline().split()[1]
    time.sleep(0.3)
    start = time.monotonic()
    subprocess.run([tessal, "capture"], check=True)
    # The overlay's first frame maps it ("new"); its title may follow later.
    deadline = start + 10
    while time.monotonic() < deadline:
        if not select.select([events.stdout], [], [], deadline - time.monotonic())[0]:
            break
        event = json.loads(events.stdout.readline())
        if event.get("change") == "new" and event["container"].get("app_id") == "local.ostrel":
            mapped.append((time.monotonic() - start) * 1000)
            break
    # The first frame that shows the background dimmed.
    while time.monotonic() < deadline:
        if not select.select([watch.stdout], [], [], deadline - time.monotonic())[0]:
            break
        stamp, pixel = watch.stdout.readline().split()
        if pixel != baseline:
            dimmed.append(float(stamp) - start * 1000)
            break
    events.kill()
    watch.kill()
    time.sleep(0.3)
    subprocess.run(["wtype", "-k", "Escape"], check=True)
    time.sleep(0.7)
if not mapped or not dimmed:
    sys.exit("no overlay appeared")
def line(values):
    return (f"median {statistics.median(values):.1f} ms, best {min(values):.1f},"
            f" worst {max(values):.1f} ({len(values)} runs)")
print(f"dimmed display on the screen {line(dimmed)}; overlay window mapped {line(mapped)}")
PY
}

for source in screencopy portal; do
    TESSAL_SCREENSHOT=$source "$TESSAL" >"$WORLD/tessal-$source.log" 2>&1 &
    pid=$!
    WORLD_PIDS+=($pid)
    wait_for 10 test -S "$XDG_RUNTIME_DIR/local.ostrel.sock" || fail "tessal did not start"
    sleep 1
    echo "tessal capture, 1920x1080, $source: $(measure)"
    kill $pid
    wait $pid 2>/dev/null
    rm -f "$XDG_RUNTIME_DIR/local.ostrel.sock"
done
for format in png ppm; do
    python3 - "$BENCH_RUNS" "$format" "$WORLD" <<'PY'
import statistics, subprocess, sys, time
runs, fmt, world = int(sys.argv[1]), sys.argv[2], sys.argv[3]
times = []
for _ in range(runs):
    start = time.monotonic()
    subprocess.run(["grim", "-t", fmt, f"{world}/grim.{fmt}"], check=True)
    times.append((time.monotonic() - start) * 1000)
print(f"grim -t {fmt} of the whole output, 1920x1080: median {statistics.median(times):.1f} ms,"
      f" best {min(times):.1f}, worst {max(times):.1f} ({runs} runs)")
PY
done
