#!/usr/bin/env bash
# Another client holding the keyboard or the pointer when a capture starts: a short hold (a
# menu closing) is waited for, and Escape still ends the capture; a hold that does not end
# stops the capture with an alert instead of leaving an overlay that cannot be left.
source "$(dirname "$0")/world.sh"
world_start 1024x768
world_defaults '{"childRegionPermissionGuideShown": true}'
fixture_start --window 100,100,300,200,grab-fixture,#ffffff --window 600,400,300,200,grab-pointer,#202020
tessal_start
xdotool mousemove 750 500

"$TESSAL_FIXTURE" --grab-keyboard 0.3 >"$WORLD/short.out" 2>&1 &
holder=$!
wait_for 5 grep -q grabbed "$WORLD/short.out" || fail "the fixture could not take the keyboard"
"$TESSAL" capture || fail "no running instance"
wait $holder
wait_for 5 is_colour 250 200 153,153,153 || fail "no overlay after the hold: $(pixel_at 250 200)"
sleep 0.2
xdotool key Escape
wait_for 5 is_colour 250 200 255,255,255 || fail "Escape did not end the capture: $(pixel_at 250 200)"
pass "a short keyboard hold is waited for and Escape still ends the capture"

# Keys typed after the shortcut, while the overlay is not up yet (here a pin of ours is hidden
# first and the screen given a moment to repaint), belong to the capture: an Escape ends it and
# never reaches the focused program. Typed later, the same key reaches that program again.
"$TESSAL" capture --region 600,500,100,80 --pin || fail "no pin"
wait_for 5 xdotool search --onlyvisible --class tessal || fail "the pin did not show"
xdotool mousemove 250 200 click 1
sleep 0.3
xdotool key Escape
wait_for 5 grep -q "key grab-fixture Esc" "$WORLD/fixture.log" || fail "the probe window gets no keys"
: >"$WORLD/fixture.log"
xdotool key ctrl+1 sleep 0.05 key Escape
sleep 0.5
is_colour 250 200 255,255,255 || fail "an Escape typed before the overlay was up was lost"
! grep -q "key grab-fixture Esc" "$WORLD/fixture.log" ||
    fail "an Escape typed for the capture reached the focused program"
# The pin comes back and may take the focus: the program is given it again.
xdotool mousemove 250 200 click 1
sleep 0.3
xdotool key Escape
wait_for 5 grep -q "key grab-fixture Esc" "$WORLD/fixture.log" ||
    fail "the keyboard did not return to the focused program"
pass "keys typed after the shortcut wait for the overlay, then the keyboard is the program's again"

# held_elsewhere keyboard|pointer: the fixture holds it for good; a capture ends with the alert.
held_elsewhere() {
    "$TESSAL_FIXTURE" --grab-$1 8 >"$WORLD/$1.out" 2>&1 &
    holder=$!
    WORLD_PIDS+=($holder)
    wait_for 5 grep -q grabbed "$WORLD/$1.out" || fail "the fixture could not take the $1"
    "$TESSAL" capture || fail "no running instance"
    wait_for 5 xdotool search --onlyvisible --name '^Tessal$' || fail "no alert while the $1 is held"
    is_colour 250 200 255,255,255 || fail "an overlay was left on screen: $(pixel_at 250 200)"
}

held_elsewhere keyboard
pass "a keyboard held elsewhere ends the capture with an alert, no overlay left"
# A fresh resident for the pointer case, so nothing of the first alert carries over.
kill "$holder" "$TESSAL_PID"
wait "$TESSAL_PID" 2>/dev/null
tessal_start

held_elsewhere pointer
pass "a pointer held elsewhere ends the capture with an alert as well"
