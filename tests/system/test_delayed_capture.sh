#!/usr/bin/env bash
# A delayed capture is for what closes when a shortcut is pressed: `tessal capture --delay`
# returns at once and takes nothing from the desktop meanwhile (the focus stays where it was);
# the menu opened during the wait is in the frozen still, and once the user's click has closed
# it, the selection over it copies the menu as it was.
source "$(dirname "$0")/world.sh"
world_start 1280x720
world_defaults '{"childRegionPermissionGuideShown": true}'
fixture_start --window 100,80,700,500,delay-backdrop,#ffffff
tessal_start
sleep 0.5
xdotool search --name '^delay-backdrop$' windowactivate --sync 2>/dev/null
active=$(xdotool getactivewindow)

start=$(date +%s%N)
timeout 5 "$TESSAL" capture --delay 2 || fail "capture --delay failed"
[ $(( ($(date +%s%N) - start) / 1000000 )) -lt 1500 ] || fail "capture --delay waited itself"
"$TESSAL_FIXTURE" --menu 300,200,300 >"$WORLD/menu.out" 2>&1 &
WORLD_PIDS+=($!)
wait_for 5 grep -q open "$WORLD/menu.out" || fail "the menu did not open"
sleep 0.3
import -window root "$WORLD/with-menu.png"
xdotool search --onlyvisible --name '^Tessal · 截图$' >/dev/null 2>&1 && fail "captured before the delay"
grep -q closed "$WORLD/menu.out" && fail "the menu closed during the wait"
[ "$(xdotool getactivewindow)" = "$active" ] || fail "the focus moved during the wait"
pass "capture --delay returns at once, leaves the focus and an open menu alone"

wait_for 5 xdotool search --onlyvisible --name '^Tessal · 截图$' || fail "no capture after the delay"
sleep 0.5
# The menu holds keyboard and pointer; a click (which the menu takes) closes it, and the
# overlay gets them.
xdotool mousemove 900 650 click 1
wait_for 5 grep -q closed "$WORLD/menu.out" || fail "the menu stayed open"
sleep 0.5
xdotool mousemove 280 180 mousedown 1
sleep 0.2
xdotool mousemove 400 260
sleep 0.2
xdotool mousemove 520 340 mouseup 1
sleep 0.5
xdotool key Return
clipboard_png "$WORLD/clip.png"
[ "$(identify -format %wx%h "$WORLD/clip.png")" = "240x160" ] ||
    fail "copied $(identify -format %wx%h "$WORLD/clip.png"), expected 240x160"
convert "$WORLD/with-menu.png" -crop 240x160+280+180 +repage "$WORLD/expected.png"
differing=$(compare -metric AE "$WORLD/clip.png" "$WORLD/expected.png" null: 2>&1 || true)
[ "$differing" = "0" ] || fail "the copy differs from the screen with the menu in $differing pixels"
pass "the frozen still holds the menu opened during the wait; the selection over it copies it"
