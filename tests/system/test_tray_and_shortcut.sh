#!/usr/bin/env bash
# The resident program: its tray icon appears, the default shortcut is grabbed so no other
# client can take it, Ctrl+1 and `tessal capture` start a capture over a frozen, dimmed screen,
# and Escape ends it.
source "$(dirname "$0")/world.sh"
world_start 1280x800
world_defaults '{"childRegionPermissionGuideShown": true}'
fixture_start --window 200,200,400,300,tray-fixture,#ffffff --window 800,200,300,300,tray-pointer,#202020
tessal_start

# The tray icon is a window embedded in trayer; it belongs to our process.
tray_icon() {
    local trayer
    for trayer in $(xdotool search --class trayer); do
        xwininfo -tree -id "$trayer" | grep -q '("tessal" "tessal")' && return 0
    done
    return 1
}
wait_for 10 tray_icon || fail "no tray icon: $(xwininfo -root -tree | grep -i -E 'tessal|trayer')"
pass "tray icon appears"

result=$("$TESSAL_FIXTURE" --grab-key ctrl+1)
[ "$result" = "refused" ] || fail "another client could take Ctrl+1: $result"
result=$("$TESSAL_FIXTURE" --grab-key ctrl+2)
[ "$result" = "grabbed" ] || fail "the probe itself is broken: $result"
pass "Ctrl+1 is held by Tessal"

# Inside the white fixture window: white before, 60 % white under the overlay (the pointer
# rests on the other window, which is the one highlighted).
xdotool mousemove 950 350
[ "$(pixel_at 400 350)" = "255,255,255" ] || fail "fixture not white: $(pixel_at 400 350)"
xdotool key ctrl+1
wait_for 5 sh -c "[ \"\$(import -window root -crop 1x1+400+350 -depth 8 txt:- | sed -n 2p | grep -o '(153,153,153')\" ]" ||
    fail "no dimmed overlay after Ctrl+1: $(pixel_at 400 350)"
pass "Ctrl+1 shows the dimmed overlay"

xdotool key Escape
wait_for 5 sh -c "[ \"\$(import -window root -crop 1x1+400+350 -depth 8 txt:- | sed -n 2p | grep -o '(255,255,255')\" ]" ||
    fail "Escape did not close the overlay: $(pixel_at 400 350)"
pass "Escape closes the capture"

"$TESSAL" capture || fail "tessal capture could not reach the running instance"
wait_for 5 sh -c "[ \"\$(import -window root -crop 1x1+400+350 -depth 8 txt:- | sed -n 2p | grep -o '(153,153,153')\" ]" ||
    fail "tessal capture did not start a capture"
xdotool key Escape
pass "tessal capture starts a capture in the running instance"

# A second plain start hands over and exits at once (a second resident would never return).
timeout 5 "$TESSAL" || fail "second start did not hand over (status $?)"
kill -0 "$TESSAL_PID" || fail "the first instance is gone"
pass "a second start hands over to the running instance"

# With Num Lock and Caps Lock on, the shortcut still fires (they add modifier bits to the press).
xdotool key Escape 2>/dev/null
sleep 0.3
xdotool key Num_Lock key Caps_Lock
xset q | grep -q 'Num Lock: *on' || fail "Num Lock did not turn on: $(xset q | grep -i lock)"
xset q | grep -q 'Caps Lock: *on' || fail "Caps Lock did not turn on"
xdotool mousemove 950 350 key ctrl+1
wait_for 5 sh -c "[ \"\$(import -window root -crop 1x1+400+350 -depth 8 txt:- | sed -n 2p | grep -o '(153,153,153')\" ]" ||
    fail "no overlay with Num Lock and Caps Lock on: $(pixel_at 400 350)"
xdotool key Escape
xdotool key Num_Lock key Caps_Lock
pass "the shortcut works with Num Lock and Caps Lock on"

