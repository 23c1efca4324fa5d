#!/usr/bin/env bash
# On a headless KWin with two GTK windows: one window-list query through a KWin script (median of
# 10), and `tessal capture --full -o F` through KWin's ScreenShot2 (median of 5, the whole
# command). Usage: bench/kwin.sh BUILD_DIR
set -u
if [ -z "${TESSAL_WAYLAND_INNER:-}" ]; then
    build=$(cd "${1:-build}" && pwd -P)
    export TESSAL=$build/tessal TESSAL_WL_POINTER=$build/tests/tessal-wl-pointer
    export TESSAL_WL_EXTRA=$build/bench/tessal-window-list-bench
fi
here=$(dirname "$0")
if [ -f "$here/kwin_world.sh" ]; then source "$here/kwin_world.sh"
else source "$here/../tests/system/kwin_world.sh"; fi
wayland_world_as_user "$@"
kwin_world_start 1280x800
cat >"$WORLD/count.js" <<'JS'
print(workspace.clientList().filter(function (c) { return c.normalWindow; }).length);
JS
gtk3-demo >/dev/null 2>&1 &
WORLD_PIDS+=($!)
gtk3-widget-factory >/dev/null 2>&1 &
WORLD_PIDS+=($!)
two() { [ "$(kwin_script "$WORLD/count.js")" = 2 ]; }
wait_for 20 two || fail "the two GTK windows did not appear"
sleep 1
"$TESSAL_WL_EXTRA"
times=()
for i in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$TESSAL" capture --full -o "$WORLD/full-$i.png" >/dev/null 2>&1 || fail "capture --full failed"
    times+=($((($(date +%s%N) - start) / 1000000)))
done
echo "capture --full -o F through ScreenShot2 (1280 x 800): median $(printf '%s\n' "${times[@]}" |
    sort -n | sed -n 3p) ms of ${times[*]}"
