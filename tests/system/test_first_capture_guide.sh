#!/usr/bin/env bash
# The one-time guide before the first capture must not end up in it: after "先截图" the displays
# freeze only once the guide is gone and the screen under it shows what it covered again, under a
# compositing manager that fades closing windows out and with both cores busy.
source "$(dirname "$0")/world.sh"
world_start 1280x720
require picom:picom
fixture_start --window 140,90,1000,540,guide-backdrop,#3070c0
picom --backend xrender --fading --fade-out-step 0.02 --fade-in-step 0.5 --fade-delta 15 >"$WORLD/picom.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 5 sh -c 'xwininfo -root -children | grep -qi "picom"' || fail "picom did not start"
tessal_start
sleep 0.5

read -r fx fy fw fh <<<"$(window_frame guide-backdrop)"
import -window root "$WORLD/before.png"

# Both cores busy, as on a machine compiling in the background.
for _ in 1 2; do
    sh -c 'while :; do :; done' &
    WORLD_PIDS+=($!)
done

xdotool mousemove $((fx + fw / 2)) $((fy + fh / 2)) key ctrl+1
wait_for 10 xdotool search --onlyvisible --name '^Tessal$' || fail "no guide on the first capture"
sleep 0.3
xdotool search --onlyvisible --name '^Tessal$' windowactivate --sync 2>/dev/null
xdotool key Escape
wait_for 10 xdotool search --onlyvisible --name '^Tessal · 截图$' || fail "no overlay after the guide"
sleep 0.5
# A free rectangle over the backdrop, frame included.
xdotool mousemove "$fx" "$fy" mousedown 1
sleep 0.2
xdotool mousemove $((fx + fw / 2)) $((fy + fh / 2))
sleep 0.2
xdotool mousemove $((fx + fw)) $((fy + fh)) mouseup 1
sleep 0.5
xdotool key Return
clipboard_png "$WORLD/clip.png"
size=$(identify -format %wx%h "$WORLD/clip.png")
[ "$size" = "${fw}x${fh}" ] || fail "copied $size, expected ${fw}x${fh}"
convert "$WORLD/before.png" -crop "${fw}x${fh}+${fx}+${fy}" +repage "$WORLD/expected.png"
differing=$(compare -metric AE "$WORLD/clip.png" "$WORLD/expected.png" null: 2>&1 || true)
[ "$differing" = "0" ] || fail "the copy differs from the screen before the shortcut in $differing pixels"
pass "the first capture after the guide is the screen as it was, without the guide"
