#!/usr/bin/env bash
# A Wayland desktop without screencopy (as GNOME or KDE) whose portal offers no screenshots: `tessal capture --full` says so and
# exits 3; a capture from the running program shows the capture alert, leaves no overlay, and
# the program keeps running and answering.
set -u
source "$(dirname "$0")/wayland_world.sh"
wayland_world_as_user "$@"
wayland_world_start 1280x800 --no-screenshot-portal
# sway has screencopy; the portal is all a GNOME or KDE desktop would offer.
export TESSAL_SCREENSHOT=portal

status=0
"$TESSAL" capture --full -o "$WORLD/full.png" >"$WORLD/full.out" 2>&1 || status=$?
[ $status -eq 3 ] || fail "capture --full without a portal exited with $status"
grep -q "截图门户" "$WORLD/full.out" || fail "no clear message: $(cat "$WORLD/full.out")"
[ ! -e "$WORLD/full.png" ] || fail "a file was written"
pass "capture --full without a screenshot portal fails with a clear message"

tessal_start
"$TESSAL" capture
wait_for 10 sh -c 'swaymsg -t get_tree | grep -q "\"app_id\": \"local.ostrel\""' ||
    fail "no alert window"
sleep 0.5
swaymsg -t get_tree >"$WORLD/tree.json"
grep -q "Tessal · 截图" "$WORLD/tree.json" && fail "an overlay was left on screen"
grim "$WORLD/alert.png"
wtype -k Return
wait_for 5 sh -c '! swaymsg -t get_tree | grep -q "\"app_id\": \"local.ostrel\""' ||
    fail "the alert did not close"
kill -0 "$TESSAL_PID" 2>/dev/null || fail "tessal ended"
"$TESSAL" capture
wait_for 10 sh -c 'swaymsg -t get_tree | grep -q "\"app_id\": \"local.ostrel\""' ||
    fail "a second capture request got no answer"
pass "a capture without a screenshot portal shows the alert, leaves no overlay, and Tessal goes on"
