#!/usr/bin/env bash
# On GNOME the first screenshot a program asks the portal for raises "Allow Applications to
# Take Screenshots?", a dialog that waits for the user. Answered only after 20 s, past any time
# limit on the portal's reply, `tessal capture --full` still writes the display, and meanwhile
# says what the dialog is for; the answer is kept, so the capture after it asks nothing.
# Skipped (77) where GNOME Shell is not installed (gnome_world.sh).
set -u
source "$(dirname "$0")/gnome_world.sh"
wayland_world_as_user "$@"
gnome_world_start 1600x900
[ -z "$(gnome_screenshot_permission)" ] || fail "screenshots were allowed before anyone asked"
dbus-monitor --session "type='method_call',interface='org.freedesktop.impl.portal.Access'" \
    >"$WORLD/access.log" 2>&1 &
WORLD_PIDS+=($!)
dialogs() { grep -c 'member=AccessDialog' "$WORLD/access.log"; }
sleep 0.5

start=$SECONDS
"$TESSAL" capture --full -o "$WORLD/first.png" >/dev/null 2>"$WORLD/first.err" &
capture=$!
wait_for 10 sh -c "grep -q member=AccessDialog '$WORLD/access.log'" || fail "GNOME asked nothing"
wait_for 5 grep -q "对话框中选择“允许”" "$WORLD/first.err" ||
    fail "nothing says what the dialog is for: $(cat "$WORLD/first.err")"
while [ $((SECONDS - start)) -lt 20 ]; do
    kill -0 $capture 2>/dev/null ||
        fail "tessal gave up while the dialog waited: $(cat "$WORLD/first.err")"
    sleep 0.5
done
[ ! -e "$WORLD/first.png" ] || fail "a picture was written before the user answered"
gnome_keys 0xff53 0xff0d || fail "the dialog could not be answered"  # Right, Return: "Allow"
wait_for 15 sh -c "! kill -0 $capture" || fail "tessal did not finish once the user allowed it"
status=0
wait $capture || status=$?
[ $status -eq 0 ] || fail "capture --full exited with $status: $(cat "$WORLD/first.err")"
[ "$(identify -format %wx%h "$WORLD/first.png")" = "1600x900" ] || fail "the picture's size"
# The overview shows the workspace over GNOME's blue background in the middle of the display.
read -r r g b < <(convert "$WORLD/first.png" -crop 1x1+800+450 -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
[ "$b" -gt $((r + 60)) ] && [ "$b" -gt $((g + 40)) ] ||
    fail "the middle of the picture is not the desktop's blue: $r $g $b"
[ "$(gnome_screenshot_permission)" = yes ] || fail "the answer was not kept"
pass "the first capture waits for the user's late answer to GNOME's dialog and writes the display"

begin=$SECONDS
timeout 10 "$TESSAL" capture --full -o "$WORLD/second.png" 2>"$WORLD/second.err" ||
    fail "the second capture failed: $(cat "$WORLD/second.err")"
[ $((SECONDS - begin)) -le 5 ] || fail "the second capture took $((SECONDS - begin)) s"
[ "$(dialogs)" -eq 1 ] || fail "GNOME asked again"
! grep -q "对话框" "$WORLD/second.err" || fail "the second capture spoke of a dialog"
# The same desktop both times, the panel's clock and notifications aside.
for shot in first second; do
    convert "$WORLD/$shot.png" -crop 1600x560+0+180 +repage "$WORLD/$shot-middle.png"
done
diff=$(compare -fuzz 10% -metric AE "$WORLD/first-middle.png" "$WORLD/second-middle.png" null: 2>&1)
[ "$diff" -lt 2000 ] 2>/dev/null || fail "the two pictures differ in $diff pixels"
pass "the answer is kept: the next capture asks nothing and shows the same desktop"
