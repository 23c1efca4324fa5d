#!/usr/bin/env bash
# Two displays at different scales (left 1, right 2) on one root: both get an overlay, a window
# chosen on the scale-2 display and a free rectangle on the scale-1 display are copied pixel for
# pixel, and `capture --full --display 1` is exactly the right half of the root.
source "$(dirname "$0")/world.sh"
world_start 1600x900
world_defaults '{"childRegionPermissionGuideShown": true}'
xrandr --setmonitor left 800/211x900/238+0+0 screen >/dev/null
xrandr --setmonitor right 800/211x900/238+800+0 none >/dev/null
fixture_start --window 120,150,400,300,mixed-a,#f0f0f0 --window 960,220,420,260,mixed-b,#3070c0 \
    --window 300,600,200,150,mixed-c,#202020
export QT_SCREEN_SCALE_FACTORS="left=1;right=2"
tessal_start
import -window root "$WORLD/before.png"

same_pixels() {  # same_pixels A B: 0 differing pixels
    [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]
}

# The pointer rests on the dark window: everything else is dimmed, on both displays.
xdotool mousemove 400 680
xdotool key ctrl+1
wait_for 5 is_colour 200 250 "144,144,144" || fail "left display not dimmed: $(pixel_at 200 250)"
wait_for 5 sh -c "[ \"\$(import -window root -crop 1x1+1500+800 -depth 8 txt:- | sed -n 2p | grep -o '([0-9,]*')\" != '(255,255,255' ]" ||
    fail "right display not dimmed"
pass "both displays of different scales get a dimmed overlay"

# Whole-window mode on the scale-2 display: the blue window, every device pixel of its frame.
read -r fx fy fw fh <<<"$(window_frame mixed-b)"
xdotool mousemove $((fx + 60)) $((fy + 100))
sleep 0.2
xdotool key space  # for the display under the pointer
sleep 0.3
xdotool click 1
sleep 0.3
xdotool key Return
clipboard_png "$WORLD/window.png"
convert "$WORLD/before.png" -crop "${fw}x${fh}+${fx}+${fy}" +repage "$WORLD/window-ref.png"
[ "$(identify -format %wx%h "$WORLD/window.png")" = "${fw}x${fh}" ] ||
    fail "copied $(identify -format %wx%h "$WORLD/window.png"), the frame is ${fw}x${fh} pixels"
same_pixels "$WORLD/window.png" "$WORLD/window-ref.png" || fail "the copied window differs from the screen"
pass "a window on the scale-2 display is copied pixel for pixel"

# A free rectangle on the scale-1 display.
sleep 0.3
xdotool mousemove 400 680 key ctrl+1
wait_for 5 is_colour 200 250 "144,144,144" || fail "no second capture"
xdotool mousemove 150 180 mousedown 1 mousemove 250 250 mousemove 390 330 mouseup 1
sleep 0.3
echo none | xclip -selection clipboard
xdotool key Return
clipboard_png "$WORLD/drag.png"
convert "$WORLD/before.png" -crop 240x150+150+180 +repage "$WORLD/drag-ref.png"
[ "$(identify -format %wx%h "$WORLD/drag.png")" = "240x150" ] ||
    fail "the rectangle was copied as $(identify -format %wx%h "$WORLD/drag.png")"
same_pixels "$WORLD/drag.png" "$WORLD/drag-ref.png" || fail "the copied rectangle differs from the screen"
pass "a free rectangle on the scale-1 display is copied pixel for pixel"

convert "$WORLD/before.png" -crop 800x900+800+0 +repage "$WORLD/right-ref.png"
# The windows the overlay covered repaint themselves once it has gone, each in its own time.
right_matches() {
    "$TESSAL" capture --full --display 1 -o "$WORLD/right.png" || return 2
    same_pixels "$WORLD/right.png" "$WORLD/right-ref.png"
}
wait_for 5 right_matches ||
    fail "display 1 differs from the right half in $(compare -metric AE "$WORLD/right.png" "$WORLD/right-ref.png" null: 2>&1) pixels"
pass "capture --full of the scale-2 display equals its half of the root"

# A display that goes away while a capture is open: the capture goes on over what it froze and
# Escape leaves nothing behind; the next capture knows one display.
xdotool mousemove 300 680 key ctrl+1
wait_for 5 is_colour 200 250 "144,144,144" || fail "no capture before the display went away"
xrandr --delmonitor right
sleep 0.5
xdotool key Escape
wait_for 5 is_colour 200 250 "240,240,240" || fail "an overlay stayed after Escape: $(pixel_at 200 250)"
is_colour 1500 850 "0,0,0" || fail "something stayed on the display that went away: $(pixel_at 1500 850)"
kill -0 "$TESSAL_PID" || fail "Tessal ended when a display went away"
xdotool key ctrl+1
wait_for 5 is_colour 200 250 "144,144,144" || fail "no capture after the display went away"
xdotool key Escape
wait_for 5 is_colour 200 250 "240,240,240" || fail "the last capture did not end"
pass "a display that goes away during a capture leaves nothing behind"
