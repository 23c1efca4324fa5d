#!/usr/bin/env bash
# Under a compositing manager every window has storage of its own, so the still that freezes the
# screen while the overlays are made is composed inside the server rather than darkened in place:
# the capture still dims, copies the screen as it was, and leaves nothing behind.
source "$(dirname "$0")/world.sh"
world_start 1280x720
world_defaults '{"childRegionPermissionGuideShown": true}'
fixture_start --window 100,100,400,300,plain-a,#ffffff --window 700,300,300,200,plain-b,#202020
xcompmgr >"$WORLD/xcompmgr.log" 2>&1 &
WORLD_PIDS+=($!)
# It announces itself with a window of its name, made when it takes the compositing selection.
wait_for 5 sh -c 'xwininfo -root -children | grep -q "\"xcompmgr\""' || fail "xcompmgr did not start"
tessal_start

xdotool mousemove 800 400 key ctrl+1
wait_for 5 is_colour 300 250 "153,153,153" || fail "not dimmed: $(pixel_at 300 250)"
sleep 1.2
curtains=$(xwininfo -root -children | grep '(has no name)' | grep -c ' 1280x720+0+0 ')
[ "$curtains" -eq 0 ] || fail "$curtains frozen stills left on screen"
pass "the screen dims and the still makes way for the overlay"

read -r fx fy fw fh <<<"$(window_frame plain-a)"
xdotool mousemove $((fx + 50)) $((fy + 100))
sleep 0.3
xdotool key space
sleep 0.2
xdotool mousemove $((fx + 60)) $((fy + 110)) click 1
sleep 0.3
copy_and_check "$fw" "$fh" "255,255,255"
wait_for 5 is_colour 300 250 "255,255,255" || fail "the screen stayed dimmed: $(pixel_at 300 250)"
pass "the copy is the undimmed screen and the screen comes back"
