#!/usr/bin/env bash
# The freeze curtains take the pointer's clicks and wheel turns: nothing reaches the root window,
# where the window manager listens (openbox, which selects the root's button events, switches
# desktops on a wheel turn over the desktop and opens its menus on clicks).
source "$(dirname "$0")/world.sh"
: "${TESSAL_STREAM_PROBE:?TESSAL_STREAM_PROBE must name the probe}"
world_start 1280x800 --no-tray

desktop() { xprop -root _NET_CURRENT_DESKTOP | sed 's/.*= //'; }
# menu_at X Y: a mapped top-level window with its corner at X,Y (where openbox opens a menu).
menu_at() {
    local id
    for id in $(xwininfo -root -children | sed -n "s/^ *\(0x[0-9a-f]*\) .*+$1+$2 *\$/\1/p"); do
        xwininfo -id "$id" | grep -q IsViewable && return 0
    done
    return 1
}

# The listener is live: a wheel turn on the bare desktop switches to the next desktop and back.
xdotool mousemove 640 400
[ "$(desktop)" = 0 ] || fail "not on the first desktop: $(desktop)"
xdotool click 5
wait_for 3 sh -c '[ "$(xprop -root _NET_CURRENT_DESKTOP | sed "s/.*= //")" = 1 ]' ||
    fail "the window manager does not switch desktops on the wheel; nothing to test against"
xdotool click 4
wait_for 3 sh -c '[ "$(xprop -root _NET_CURRENT_DESKTOP | sed "s/.*= //")" = 0 ]' ||
    fail "could not switch back to the first desktop"
xdotool mousemove 500 350 click 3
sleep 0.4
menu_at 500 350 || fail "the window manager opens no menu on a right click; nothing to test against"
xdotool key Escape
sleep 0.3
menu_at 500 350 && fail "the window manager's menu did not close"
xdotool mousemove 640 400

"$TESSAL_STREAM_PROBE" --freeze 3 >"$WORLD/freeze.out" 2>&1 &
probe=$!
WORLD_PIDS+=($probe)
wait_for 5 grep -q '^frozen' "$WORLD/freeze.out" || fail "no curtains: $(cat "$WORLD/freeze.out")"
sleep 0.3
for button in 5 5 4 5; do xdotool click $button; sleep 0.1; done
xdotool mousemove 500 350 click 3
sleep 0.5
now=$(desktop)
menu=no
menu_at 500 350 && menu=yes
wait $probe
grep -q '^released' "$WORLD/freeze.out" || fail "the curtains were not taken down: $(cat "$WORLD/freeze.out")"
[ "$now" = 0 ] || fail "wheel turns over the curtain reached the root: desktop $now"
[ "$menu" = no ] || fail "a right click over the curtain opened the window manager's menu"
pass "clicks and wheel turns over the freeze curtain do not reach the root window"
