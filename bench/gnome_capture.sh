#!/usr/bin/env bash
# Captures through the Screenshot portal on the headless GNOME world, with screenshots already
# allowed (no dialog): `tessal capture --full -o FILE` from start to exit, and `tessal capture`
# → overlay mapped on the resident program (the shell runs in unsafe mode so that its window
# list answers us). Usage: bench/gnome_capture.sh BUILD_DIR [RUNS]
set -u
if [ -z "${TESSAL_WAYLAND_INNER:-}" ]; then
    build=$(cd "${1:-build}" && pwd -P)
    export TESSAL=$build/tessal
fi
export BENCH_RUNS=${2:-5}
here=$(dirname "$0")
export GNOME_WORLD_SCRIPT=$here/gnome_world.sh
[ -f "$GNOME_WORLD_SCRIPT" ] || GNOME_WORLD_SCRIPT=$here/../tests/system/gnome_world.sh
source "$GNOME_WORLD_SCRIPT"
wayland_world_as_user "$@"
GNOME_SHELL_OPTIONS=--unsafe-mode gnome_world_start 1600x900
gnome_grant_screenshots

python3 - "$TESSAL" "$BENCH_RUNS" "$WORLD" <<'PY'
import statistics, subprocess, sys, time
tessal, runs, world = sys.argv[1], int(sys.argv[2]), sys.argv[3]
times = []
for i in range(runs):
    start = time.monotonic()
    subprocess.run([tessal, "capture", "--full", "-o", f"{world}/full-{i}.png"], check=True)
    times.append((time.monotonic() - start) * 1000)
print(f"tessal capture --full -o FILE, 1600x900, GNOME portal: median "
      f"{statistics.median(times):.1f} ms, best {min(times):.1f}, worst {max(times):.1f} "
      f"({runs} runs)")
PY

# The peer: the same portal request from a bare client, until its Response (the picture written).
python3 - "$BENCH_RUNS" <<'PY'
import os, statistics, sys, time
from gi.repository import Gio, GLib
runs = int(sys.argv[1])
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
sender = bus.get_unique_name()[1:].replace(".", "_")
times = []
for i in range(runs):
    token = f"bench{i}"
    loop = GLib.MainLoop()
    answer = {}
    def response(_c, _s, _p, _i, _n, parameters):
        answer["uri"] = parameters.unpack()[1].get("uri", "")
        loop.quit()
    subscription = bus.signal_subscribe(
        "org.freedesktop.portal.Desktop", "org.freedesktop.portal.Request", "Response",
        f"/org/freedesktop/portal/desktop/request/{sender}/{token}", None,
        Gio.DBusSignalFlags.NONE, response)
    start = time.monotonic()
    bus.call_sync("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                  "org.freedesktop.portal.Screenshot", "Screenshot",
                  GLib.Variant("(sa{sv})", ("", {"handle_token": GLib.Variant("s", token)})),
                  None, Gio.DBusCallFlags.NONE, 10000, None)
    loop.run()
    times.append((time.monotonic() - start) * 1000)
    bus.signal_unsubscribe(subscription)
    if answer.get("uri", "").startswith("file://"):
        os.remove(answer["uri"][7:])
print(f"the Screenshot portal request alone (gdbus client), 1600x900: median "
      f"{statistics.median(times):.1f} ms, best {min(times):.1f}, worst {max(times):.1f} "
      f"({runs} runs)")
PY

"$TESSAL" >"$WORLD/tessal.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 test -S "$XDG_RUNTIME_DIR/local.ostrel.sock" || fail "tessal did not start"
sleep 1
python3 - "$TESSAL" "$BENCH_RUNS" <<'PY'
import statistics, subprocess, sys, time
from gi.repository import Gio, GLib
tessal, runs = sys.argv[1], int(sys.argv[2])
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
def overlay_shown():
    windows = bus.call_sync("org.gnome.Shell", "/org/gnome/Shell/Introspect",
                            "org.gnome.Shell.Introspect", "GetWindows", None, None,
                            Gio.DBusCallFlags.NONE, 2000, None).unpack()[0]
    return any("截图" in w.get("title", "") for w in windows.values())
times = []
for _ in range(runs):
    start = time.monotonic()
    subprocess.run([tessal, "capture"], check=True)
    while time.monotonic() - start < 10:
        if overlay_shown():
            times.append((time.monotonic() - start) * 1000)
            break
        time.sleep(0.005)
    time.sleep(0.5)
    subprocess.run(["bash", "-c", "source \"$GNOME_WORLD_SCRIPT\"; gnome_keys 0xff1b"])
    deadline = time.monotonic() + 5
    while overlay_shown() and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(0.5)
if not times:
    sys.exit("no overlay appeared")
print(f"tessal capture → overlay listed by the shell, 1600x900, GNOME portal: median "
      f"{statistics.median(times):.1f} ms, best {min(times):.1f}, worst {max(times):.1f} "
      f"({len(times)} of {runs} runs)")
PY
