#!/usr/bin/env bash
# Choosing on the real overlay: one dimmed overlay per monitor, the highlight border exactly on
# the hovered window's frame, a click taking that window and a drag a free rectangle (checked
# through the PNG that Return puts on the clipboard), Escape giving the keyboard back.
source "$(dirname "$0")/world.sh"
world_start 1600x900
world_defaults '{"childRegionPermissionGuideShown": true}'
xrandr --setmonitor left 800/211x900/238+0+0 screen >/dev/null
xrandr --setmonitor right 800/211x900/238+800+0 none >/dev/null
fixture_start --window 100,150,400,300,overlay-a,#ffffff --window 950,200,300,200,overlay-b,#ffffff \
    --window 200,600,200,150,overlay-c,#202020
tessal_start
[ "$("$TESSAL" capture --list-windows | grep -c '^display')" -eq 2 ] || fail "two monitors expected"

border="59,130,246"

# The pointer rests on a dark window, so the white ones around are dimmed.
xdotool mousemove 300 700
previous=$(xdotool getwindowfocus)
xdotool key ctrl+1
# Both monitors frozen and dimmed: white windows read 60 % grey.
wait_for 5 is_colour 1200 350 "153,153,153" || fail "right monitor not dimmed: $(pixel_at 1200 350)"
pass "each monitor gets a dimmed overlay"
# The dimmed still that covers the displays while the overlays are made (windows without a name
# over a monitor) is gone once they are up.
sleep 1.2
curtains=$(xwininfo -root -children | grep '(has no name)' | grep -cE ' 800x900\+(0|800)\+0 ')
[ "$curtains" -eq 0 ] || fail "$curtains frozen stills left over the monitors"
pass "the frozen still makes way for the overlays"

read -r fx fy fw fh <<<"$(window_frame overlay-a)"
# Whole-window mode (Space): inside a window the panel under the pointer would be offered first.
xdotool key space
xdotool mousemove $((fx + 50)) $((fy + 100))
wait_for 5 is_colour $((fx + 100)) $((fy + 150)) "255,255,255" || fail "hovered window not undimmed"
for probe in "$fx $((fy + fh / 2))" "$((fx - 1)) $((fy + fh / 2))" "$((fx + fw)) $((fy + fh / 2))" \
    "$((fx + fw / 2)) $fy" "$((fx + fw / 2)) $((fy + fh))"; do
    is_colour $probe "$border" || fail "no border at ($probe): $(pixel_at $probe)"
done
is_colour $((fx - 3)) $((fy + fh / 2)) "$border" && fail "border too wide"
is_colour $((fx + 1)) $((fy + fh / 2)) "$border" || fail "border too thin"
pass "the highlight border lies on the window's frame"

xdotool click 1
sleep 0.3
copy_and_check "$fw" "$fh" "255,255,255"
pass "a click takes the window, Return copies exactly its pixels"

# A free rectangle on the right monitor.
sleep 0.3
xdotool mousemove 300 700 key ctrl+1
wait_for 5 is_colour 1200 350 "153,153,153" || fail "no second capture"
xdotool mousemove 1300 600 mousedown 1 mousemove 1350 650 mousemove 1420 700 mouseup 1
sleep 0.3
xdotool key Return
sleep 0.5
xclip -selection clipboard -t image/png -o >"$WORLD/clip2.png"
[ "$(identify -format %wx%h "$WORLD/clip2.png")" = "120x100" ] ||
    fail "free rectangle copied as $(identify -format %wx%h "$WORLD/clip2.png")"
pass "a drag takes a free rectangle"

xdotool mousemove 300 700 key ctrl+1
wait_for 5 is_colour 1200 350 "153,153,153" || fail "no third capture"
xdotool key Escape
wait_for 5 is_colour 1200 350 "255,255,255" || fail "Escape left the overlay"
[ "$(xdotool getwindowfocus)" = "$previous" ] || fail "focus did not return"
pass "Escape closes and the keyboard returns to the previous window"
