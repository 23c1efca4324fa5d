#!/usr/bin/env bash
# "重复上次区域": `tessal capture --last-region` opens the capture with the region last copied
# already selected, so Return copies the same pixels again; the region survives a restart.
source "$(dirname "$0")/world.sh"
world_start 1280x720
world_defaults '{"childRegionPermissionGuideShown": true}'
fixture_start --window 100,80,700,500,region-backdrop,#30a060
tessal_start
status=0
timeout 5 "$TESSAL" capture --last-region || status=$?
[ $status -eq 0 ] || fail "capture --last-region exited $status"
wait_for 5 xdotool search --onlyvisible --name '^Tessal$' || fail "no word that there is no region yet"
xdotool search --onlyvisible --name '^Tessal$' windowactivate --sync 2>/dev/null
xdotool key Return
wait_for 5 sh -c '! xdotool search --onlyvisible --name "^Tessal\$"' || fail "the alert stayed"
pass "without a region yet, an alert says so"

xdotool key ctrl+1
wait_for 5 xdotool search --onlyvisible --name '^Tessal · 截图$' || fail "no capture"
sleep 0.5
xdotool mousemove 210 160 mousedown 1 mousemove 300 220 mousemove 410 290 mouseup 1
sleep 0.5
xdotool key Return
clipboard_png "$WORLD/first.png"
[ "$(identify -format %wx%h "$WORLD/first.png")" = "200x130" ] || fail "the first copy is not 200x130"
echo -n | xclip -selection clipboard

again() {
    timeout 5 "$TESSAL" capture --last-region || fail "capture --last-region failed ($1)"
    wait_for 5 xdotool search --onlyvisible --name '^Tessal · 截图$' || fail "no capture ($1)"
    sleep 0.8
    xdotool key Return
    clipboard_png "$WORLD/again.png"
    differing=$(compare -metric AE "$WORLD/first.png" "$WORLD/again.png" null: 2>&1 || true)
    [ "$differing" = "0" ] || fail "the region again differs in $differing pixels ($1)"
    echo -n | xclip -selection clipboard
}
again "in the same run"
pass "capture --last-region opens with the last region selected; Return copies it again"

kill "$TESSAL_PID"
wait "$TESSAL_PID" 2>/dev/null
tessal_start
again "after a restart"
pass "the last region is remembered across a restart"
