#!/usr/bin/env bash
# One window-list query on sway with 30 windows (tiled in one workspace): the whole query beside
# the socket exchange alone. Usage: bench/wayland_windows.sh BUILD_DIR
set -u
if [ -z "${TESSAL_WAYLAND_INNER:-}" ]; then
    build=$(cd "${1:-build}" && pwd -P)
    export TESSAL=$build/tessal TESSAL_WL_POINTER=$build/tests/tessal-wl-pointer
    export TESSAL_WL_EXTRA=$build/bench/tessal-window-list-bench
fi
here=$(dirname "$0")
if [ -f "$here/wayland_world.sh" ]; then source "$here/wayland_world.sh"
else source "$here/../tests/system/wayland_world.sh"; fi
wayland_world_as_user "$@"
wayland_world_start 1920x1080
for i in $(seq 30); do
    foot --app-id="t$i" sh -c 'sleep 600' >/dev/null 2>&1 &
    WORLD_PIDS+=($!)
done
wait_for 30 sh -c '[ "$(swaymsg -t get_tree | grep -c "\"app_id\": \"t")" -ge 30 ]' ||
    fail "the 30 terminals did not all appear"
sleep 1
"$TESSAL_WL_EXTRA"
