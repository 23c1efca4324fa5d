#!/usr/bin/env bash
# KDE Plasma's compositor, KWin, headless: the windows to pick come from a KWin script of ours
# (front to back, frames with their decorations, processes), `capture --full` takes the
# screen through KWin's own screenshot interface, which KWin grants by our desktop entry (a
# KWin without xdg-desktop-portal-kde has no screenshot portal at all), and the pointer on each
# window and a click take exactly its frame.
set -u
if ! command -v kwin_wayland >/dev/null; then
    echo "SKIP: kwin_wayland is not installed (package kwin-wayland)"
    exit 77
fi
[ -z "${TESSAL_WAYLAND_INNER:-}" ] && export TESSAL_WL_EXTRA=${TESSAL_FIXTURE:-}
source "$(dirname "$0")/kwin_world.sh"
wayland_world_as_user "$@"
kwin_world_start 1280x800
require gtk3-demo:gtk-3-examples gtk3-widget-factory:gtk-3-examples

# "x y w h pid" of each window KWin shows now, front to back, as KWin itself tells.
cat >"$WORLD/frames.js" <<'JS'
var shown = workspace.clientList().filter(function (c) {
    return (c.normalWindow || c.dialog) && !c.minimized &&
        (c.onAllDesktops || c.desktop === workspace.currentDesktop);
});
shown.sort(function (a, b) { return b.stackingOrder - a.stackingOrder; });
shown.forEach(function (c) {
    var g = c.frameGeometry;
    print([c.resourceClass, g.x, g.y, g.width, g.height, c.pid].join(" "));
});
JS
frames() { kwin_script "$WORLD/frames.js"; }
# on_display X Y W H: the frame cut to the display, as left, top, right and bottom.
on_display() {
    left=$(($1 < 0 ? 0 : $1)) top=$(($2 < 0 ? 0 : $2))
    right=$(($1 + $3 > WORLD_WIDTH ? WORLD_WIDTH : $1 + $3))
    bottom=$(($2 + $4 > WORLD_HEIGHT ? WORLD_HEIGHT : $2 + $4))
}
shows() { frames | grep -q "^$1 "; }

gtk3-demo >"$WORLD/demo.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 15 shows gtk3-demo ||
    fail "gtk3-demo did not appear: $(cat "$WORLD/demo.log")"
gtk3-widget-factory >"$WORLD/factory.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 15 shows gtk3-widget-factory ||
    fail "gtk3-widget-factory did not appear: $(cat "$WORLD/factory.log")"
sleep 1
frames >"$WORLD/frames.txt"
[ "$(wc -l <"$WORLD/frames.txt")" -eq 2 ] || fail "KWin shows: $(cat "$WORLD/frames.txt")"

# --- the list as the command prints it: the same frames, processes and order ---------------
"$TESSAL" capture --list-windows >"$WORLD/list.txt" 2>&1 || fail "--list-windows: $(cat "$WORLD/list.txt")"
# The command prints display-local rectangles with y up, cut to the display (the widget
# factory is wider than it).
while read -r name x y w h pid; do
    on_display "$x" "$y" "$w" "$h"
    echo "  window $left,$((WORLD_HEIGHT - bottom)),$((right - left)),$((bottom - top)) pid $pid"
done <"$WORLD/frames.txt" >"$WORLD/expected.txt"
sed -n 's/ id [0-9]* / /p' "$WORLD/list.txt" >"$WORLD/listed.txt"
diff "$WORLD/expected.txt" "$WORLD/listed.txt" >/dev/null ||
    fail "KWin shows $(cat "$WORLD/expected.txt"), tessal lists $(cat "$WORLD/list.txt")"
pass "--list-windows prints KWin's windows front to back, frames with their decorations"

# --- the screen through KWin's screenshot interface ------------------------------------------
"$TESSAL_WL_EXTRA" --window 0,0,320,200,known,#c83c28 >"$WORLD/fixture.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 15 shows tessal-fixture || fail "the fixture did not appear: $(cat "$WORLD/fixture.log")"
cat >"$WORLD/content.js" <<'JS'
workspace.clientList().forEach(function (c) {
    var g = c.bufferGeometry;
    if (c.resourceClass == "tessal-fixture") print([g.x, g.y, g.width, g.height].join(" "));
});
JS
read -r cx cy cw ch <<<"$(kwin_script "$WORLD/content.js")"
[ "${cw:-0}" -gt 100 ] || fail "no known window: $(kwin_script "$WORLD/content.js")"
sleep 0.5
# This world has no screenshot portal: only KWin's interface can give the picture.
status=0
TESSAL_SCREENSHOT=portal "$TESSAL" capture --full -o "$WORLD/portal.png" >"$WORLD/portal.out" 2>&1 ||
    status=$?
[ $status -eq 3 ] || fail "the portal gave a picture here (exit $status): $(cat "$WORLD/portal.out")"
"$TESSAL" capture --full -o "$WORLD/full.png" >"$WORLD/full.out" 2>&1 ||
    fail "capture --full: $(cat "$WORLD/full.out")"
[ "$(identify -format %wx%h "$WORLD/full.png")" = "${WORLD_WIDTH}x$WORLD_HEIGHT" ] ||
    fail "the picture is $(identify -format %wx%h "$WORLD/full.png")"
colours=$(convert "$WORLD/full.png" -crop "${cw}x${ch}+${cx}+${cy}" +repage -unique-colors txt:- |
    grep -c -v '^#')
known=$(convert "$WORLD/full.png" -crop "${cw}x${ch}+${cx}+${cy}" +repage -unique-colors txt:- |
    grep -c -i '#C83C28')
[ "$colours" -eq 1 ] && [ "$known" -eq 1 ] ||
    fail "the known window ($cx $cy $cw $ch) shows $colours colours in the picture"
# KWin trusts the executable its desktop entry names: the same program elsewhere is refused and
# left with the portal.
mkdir -p "$WORLD/unlisted"
cp "$TESSAL" "$(dirname "$TESSAL")/tessal-app" "$WORLD/unlisted/"
status=0
"$WORLD/unlisted/tessal" capture --full -o "$WORLD/unlisted.png" >"$WORLD/unlisted.out" 2>&1 ||
    status=$?
[ $status -eq 3 ] && grep -q "截图门户" "$WORLD/unlisted.out" ||
    fail "a program without a desktop entry got (exit $status): $(cat "$WORLD/unlisted.out")"
pass "capture --full takes the screen through KWin's interface, granted by our desktop entry"

# --- each window under the pointer, taken with a click -------------------------------------
# Front to back: the fixture, the widget factory (wider than the display), the demo. Each is
# pointed at where no window in front of it lies (the demo may lie wholly behind the factory); Space takes the whole window rather than a
# panel found inside it; the copy must be its frame, cut to the display, pixel for pixel.
frames >"$WORLD/frames.txt"
[ "$(wc -l <"$WORLD/frames.txt")" -eq 3 ] || fail "KWin shows: $(cat "$WORLD/frames.txt")"
pointer move $((WORLD_WIDTH - 2)) $((WORLD_HEIGHT - 2))
echo 'print(workspace.cursorPos.x + "," + workspace.cursorPos.y);' >"$WORLD/cursor.js"
[ "$(kwin_script "$WORLD/cursor.js")" = "$((WORLD_WIDTH - 2)),$((WORLD_HEIGHT - 2))" ] ||
    fail "KWin did not move the pointer: $(cat "$WORLD/pointer.log" 2>&1)"
"$TESSAL" capture --full -o "$WORLD/before.png" >/dev/null 2>&1 || fail "no picture of the screen"
# uncovered X Y: whether no window listed before the one being tried lies over X, Y.
uncovered() {
    local n=0 name fx fy fw fh pid
    while read -r name fx fy fw fh pid; do
        [ $((n++)) -ge "$index" ] && return 0
        [ "$1" -ge "$fx" ] && [ "$1" -lt $((fx + fw)) ] && [ "$2" -ge "$fy" ] &&
            [ "$2" -lt $((fy + fh)) ] && return 1
    done <"$WORLD/frames.txt"
    return 0
}
echo 'workspace.clientList().forEach(function (c) { print(c.caption); });' >"$WORLD/captions.js"
overlay_shown() { kwin_script "$WORLD/captions.js" | grep -q '^Tessal · 截图$'; }
overlay_gone() { ! overlay_shown; }
tessal_start
index=0 checked=0
while read -r name x y w h pid; do
    on_display "$x" "$y" "$w" "$h"
    point=""
    for candidate in "$((left + 30)) $((bottom - 30))" "$((right - 30)) $((bottom - 30))" \
        "$((right - 30)) $((top + 40))" "$((left + 30)) $((top + 40))"; do
        uncovered $candidate && point=$candidate && break
    done
    index=$((index + 1))
    [ -n "$point" ] || continue # wholly behind the others (the demo, behind the wide factory)
    checked=$((checked + 1))
    read -r px py <<<"$point"
    expected=$((right - left))x$((bottom - top))
    convert "$WORLD/before.png" -crop "${expected}+$left+$top" +repage "$WORLD/$name-expected.png"
    # KWin says where the pointer is: the window under it is taken without an overlay.
    pointer move "$px" "$py"
    "$TESSAL" capture --window-under-pointer -o "$WORLD/$name-under.png" >"$WORLD/under.out" 2>&1 ||
        fail "$name: --window-under-pointer: $(cat "$WORLD/under.out")"
    [ "$(identify -format %wx%h "$WORLD/$name-under.png")" = "$expected" ] ||
        fail "$name: --window-under-pointer took $(identify -format %wx%h "$WORLD/$name-under.png"), its frame on the display is $expected"
    pointer move $((WORLD_WIDTH - 2)) $((WORLD_HEIGHT - 2))
    "$TESSAL" capture
    wait_for 10 overlay_shown || fail "no overlay"
    sleep 0.5
    pointer move "$px" "$py"
    sleep 0.3
    pointer key 57 # Space
    sleep 0.2
    pointer click "$((px + 1))" "$((py + 1))"
    sleep 0.3
    pointer key 28 # Return
    wait_for 5 overlay_gone || fail "$name: Return left the overlay"
    # The sizes differ from window to window: the one expected is this window's copy.
    wait_for 5 sh -c "timeout 2 wl-paste --type image/png >'$WORLD/$name.png' 2>/dev/null &&
        [ \"\$(identify -format %wx%h '$WORLD/$name.png')\" = $expected ]" ||
        fail "$name: copied $(identify -format %wx%h "$WORLD/$name.png" 2>&1), its frame on the display is $expected"
    # The widget factory's spinners and progress bars move between the two pictures (about
    # 900 pixels); a frame one pixel off differs in over 6 % of them.
    limit=$(((right - left) * (bottom - top) / 100))
    for copy in "$name" "$name-under"; do
        diff=$(compare -metric AE "$WORLD/$copy.png" "$WORLD/$name-expected.png" null: 2>&1)
        [ "$diff" -lt "$limit" ] 2>/dev/null ||
            fail "$copy: the copy differs from its frame in $diff pixels (at most $limit)"
    done
    pointer move $((WORLD_WIDTH - 2)) $((WORLD_HEIGHT - 2))
    sleep 0.3
done <"$WORLD/frames.txt"
[ "$checked" -ge 2 ] || fail "only $checked windows could be pointed at: $(cat "$WORLD/frames.txt")"
pass "the pointer on each window and a click, or --window-under-pointer, take exactly its frame, in front of those behind it"
