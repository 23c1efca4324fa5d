#!/usr/bin/env bash
# The screenshot history with the real binary: with recording on, a copy from the capture is
# kept as exactly the bytes put on the clipboard; `tessal history` lists it; its "复制" puts the
# same bytes on the clipboard again and "继续标注" opens them in a window titled "历史截图".
source "$(dirname "$0")/world.sh"
world_start 1280x800
world_defaults '{"childRegionPermissionGuideShown": true, "historyEnabled": true}'
fixture_start --window 200,150,300,200,history-fixture,#e0e8f0 --window 800,400,300,200,history-other,#202020
tessal_start
folder="$XDG_DATA_HOME/Zelmar/History"

xdotool mousemove 350 300
xdotool key ctrl+1
sleep 0.5
xdotool key space
sleep 0.2
xdotool click 1
sleep 0.3
xdotool key Return
wait_for 5 sh -c 'xclip -selection clipboard -t image/png -o > "$WORLD/clip.png" && [ -s "$WORLD/clip.png" ]' ||
    fail "nothing on the clipboard"
wait_for 5 sh -c "ls '$folder'/*.png" || fail "nothing recorded in $folder"
[ "$(ls "$folder" | wc -l)" -eq 1 ] || fail "expected one entry: $(ls "$folder")"
entry=$(ls "$folder"/*.png)
cmp -s "$entry" "$WORLD/clip.png" || fail "the entry differs from the clipboard"
[ "$(stat -c %a "$folder")" = "700" ] && [ "$(stat -c %a "$entry")" = "600" ] ||
    fail "permissions $(stat -c %a "$folder") / $(stat -c %a "$entry")"
pass "a copy is recorded as exactly the clipboard's bytes, privately"

"$TESSAL" history || fail "tessal history did not reach the resident"
wait_for 5 xdotool search --onlyvisible --name '^Tessal · 截图历史$' || fail "no history window"
window=$(xdotool search --onlyvisible --name '^Tessal · 截图历史$' | head -n1)
sleep 0.5
X=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
Y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
HEIGHT=$(xwininfo -id "$window" | sed -n 's/.*Height: *//p')
button() {  # button N: click the Nth button (0-based) of the bottom row
    xdotool mousemove $((X + 16 + $1 * 112 + 52)) $((Y + HEIGHT - 32)) click 1
}
echo "not an image" | xclip -selection clipboard
sleep 0.2
button 0
wait_for 5 sh -c 'xclip -selection clipboard -t image/png -o > "$WORLD/again.png" 2>/dev/null && cmp -s "$WORLD/again.png" "'"$entry"'"' ||
    fail "复制 did not put the entry's bytes on the clipboard"
pass "the history window lists the entry and copies its bytes"

button 2
wait_for 5 xdotool search --onlyvisible --name '^Tessal · 历史截图 [0-9]+ × [0-9]+ px$' ||
    fail "继续标注 opened no window: $(xdotool search --onlyvisible --name Tessal getwindowname %@ 2>/dev/null)"
pass "继续标注 opens the entry in a window titled 历史截图"
