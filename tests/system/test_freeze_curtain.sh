#!/usr/bin/env bash
# The freeze curtains take the pointer's clicks: nothing reaches the root window, where the window
# manager listens (openbox selects the root's button events and opens its menus there: the root
# menu on a right click). A click over a curtain must not open it.
source "$(dirname "$0")/world.sh"
: "${TESSAL_STREAM_PROBE:?TESSAL_STREAM_PROBE must name the probe}"
world_start 1280x800 --no-tray

# menu_at X Y: a mapped top-level window with its corner at X,Y (where openbox opens a menu).
menu_at() {
    local id
    for id in $(xwininfo -root -children | sed -n "s/^ *\(0x[0-9a-f]*\) .*+$1+$2 *\$/\1/p"); do
        xwininfo -id "$id" | grep -q IsViewable && return 0
    done
    return 1
}

# The listener is live: a right click on the bare desktop opens the menu.
xdotool mousemove 500 350 click 3
wait_for 5 menu_at 500 350 || fail "the window manager opens no menu on a right click; nothing to test against"
xdotool key Escape
no_menu_at() { ! menu_at "$@"; }
wait_for 5 no_menu_at 500 350 || fail "the window manager's menu did not close"

"$TESSAL_STREAM_PROBE" --freeze 3 >"$WORLD/freeze.out" 2>&1 &
probe=$!
WORLD_PIDS+=($probe)
wait_for 5 grep -q '^frozen' "$WORLD/freeze.out" || fail "no curtains: $(cat "$WORLD/freeze.out")"
sleep 0.3
# Wheel turns and a right click over the curtain.
xdotool mousemove 500 350
for button in 5 4 5; do xdotool click $button; sleep 0.1; done
xdotool click 3
sleep 0.5
menu=no
menu_at 500 350 && menu=yes
wait $probe
grep -q '^released' "$WORLD/freeze.out" || fail "the curtains were not taken down: $(cat "$WORLD/freeze.out")"
[ "$menu" = no ] || fail "a right click over the curtain reached the root window: the window manager's menu opened"
pass "clicks over the freeze curtain do not reach the root window"
