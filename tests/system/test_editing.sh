#!/usr/bin/env bash
# The editing session end to end: draw on a chosen window and copy it, save it through the
# dialog, pin it above other windows, and annotate a file opened with `tessal edit`.
source "$(dirname "$0")/world.sh"
world_start 1600x900
mkdir -p "$WORLD/shots"
world_defaults "{\"childRegionPermissionGuideShown\": true, \"defaultTool\": 2, \"lastSaveDirectory\": \"$WORLD/shots\"}"
fixture_start --window 200,150,500,350,edit-a,#ffffff --window 1000,200,400,300,edit-b,#2040a0 \
    --window 100,650,200,150,edit-rest,#202020
tessal_start

capture_window() {
    xdotool mousemove 200 720
    xdotool key ctrl+1
    sleep 0.5
    xdotool key space  # whole windows only: the click takes the window, not a panel inside it
    xdotool mousemove $((fx + 100)) $((fy + 150)) click 1
    sleep 0.5
}
read -r fx fy fw fh <<<"$(window_frame edit-a)"

# Draw a rectangle and copy: the PNG has the window's pixel size and red where the line is.
capture_window
xdotool mousemove $((fx + 50)) $((fy + 80)) mousedown 1 mousemove $((fx + 120)) $((fy + 150)) \
    mousemove $((fx + 200)) $((fy + 230)) mouseup 1
sleep 0.2
xdotool key Return
sleep 0.5
xclip -selection clipboard -t image/png -o >"$WORLD/copy.png" || fail "nothing on the clipboard"
[ "$(identify -format %wx%h "$WORLD/copy.png")" = "${fw}x${fh}" ] || fail "copied $(identify -format %wx%h "$WORLD/copy.png")"
colour=$(image_pixel "$WORLD/copy.png" 50 150)
[ "$colour" = "255,59,48" ] || fail "no red rectangle edge at (50,150): $colour"
colour=$(image_pixel "$WORLD/copy.png" 120 150)
[ "$colour" = "255,255,255" ] || fail "inside of the rectangle is not the window: $colour"
pass "a drawn rectangle is copied at the window's exact pixel size"

# Save through the dialog: it opens in the remembered folder with the default name.
capture_window
xdotool key ctrl+s
wait_for 5 xdotool search --onlyvisible --name '^保存截图$' || fail "no save dialog"
sleep 0.5
xdotool key Return
wait_for 5 sh -c 'ls "$WORLD"/shots/截图-*.png' || fail "nothing saved in the remembered folder"
saved=$(ls "$WORLD"/shots/截图-*.png | head -n1)
[ "$(identify -format %wx%h "$saved")" = "${fw}x${fh}" ] || fail "saved image has the wrong size"
pass "the save dialog writes the PNG into the remembered folder"

# Pin: its image exactly over the selection (the window adds a one-pixel frame around it; no
# shadow without a compositor), and still on top after another window is raised.
capture_window
xdotool key ctrl+p
wait_for 5 xdotool search --onlyvisible --name '^Tessal · 贴图$' || fail "no pin"
pin=$(xdotool search --onlyvisible --name '^Tessal · 贴图$' | head -n1)
eval "$(xdotool getwindowgeometry --shell "$pin")"
[ "$X,$Y,$WIDTH,$HEIGHT" = "$((fx - 1)),$((fy - 1)),$((fw + 2)),$((fh + 2))" ] ||
    fail "pin at $X,$Y,$WIDTH,$HEIGHT, selection $fx,$fy,$fw,$fh"
xdotool search --name '^edit-b$' windowmove --sync 300 250 windowactivate --sync 2>/dev/null
sleep 0.5
[ "$(pixel_at $((fx + 250)) $((fy + 200)))" = "255,255,255" ] ||
    fail "the raised window covers the pin: $(pixel_at $((fx + 250)) $((fy + 200)))"
pass "a pin opens over the selection and stays above a window raised later"
# Escape closes the pin, which would otherwise lie over the windows opened next.
xdotool windowactivate --sync "$pin" key Escape 2>/dev/null
wait_for 5 sh -c "! xdotool search --onlyvisible --name '^Tessal · 贴图\$'" || fail "Escape left the pin"

# tessal edit: annotate a file and save it.
convert -size 640x400 xc:'#e0e8f0' "$WORLD/input.png"
"$TESSAL" edit "$WORLD/input.png" || fail "tessal edit failed"
wait_for 5 xdotool search --onlyvisible --name 'input.png 640 × 400 px' || fail "no result window"
result=$(xdotool search --onlyvisible --name 'input.png 640 × 400 px' | head -n1)
xdotool windowactivate --sync "$result" 2>/dev/null
eval "$(xdotool getwindowgeometry --shell "$result")"
sleep 0.3
xdotool key r
# The canvas is centred below the toolbar; draw well inside it.
xdotool mousemove $((X + 300)) $((Y + 200)) mousedown 1 mousemove $((X + 400)) $((Y + 260)) \
    mousemove $((X + 500)) $((Y + 320)) mouseup 1
sleep 0.2
xdotool key ctrl+s
wait_for 5 xdotool search --onlyvisible --name '^保存截图$' || fail "no save dialog for the result"
sleep 0.5
xdotool key Return
wait_for 5 sh -c '[ "$(ls "$WORLD"/shots/截图-*.png | wc -l)" -ge 2 ]' || fail "the result was not saved"
edited=$(ls -t "$WORLD"/shots/截图-*.png | head -n1)
[ "$(identify -format %wx%h "$edited")" = "640x400" ] || fail "edited image has the wrong size"
reds=$(convert "$edited" -fill black +opaque 'rgb(255,59,48)' -fill white -opaque 'rgb(255,59,48)' \
    -format '%[fx:mean*w*h]' info:)
[ "${reds%.*}" -gt 100 ] || fail "no rectangle in the saved image ($reds red pixels)"
# Files that cannot be opened: each says why, in words, and opens nothing.
"$TESSAL" edit "$WORLD/missing.png" 2>"$WORLD/missing.err" && fail "a missing file was accepted"
grep -q ': 文件不存在$' "$WORLD/missing.err" || fail "missing file: $(cat "$WORLD/missing.err")"
mkdir -p "$WORLD/folder.png"
"$TESSAL" edit "$WORLD/folder.png" 2>"$WORLD/folder.err" && fail "a folder was accepted"
grep -q ': 这是一个文件夹$' "$WORLD/folder.err" || fail "folder: $(cat "$WORLD/folder.err")"
head -c 60 "$WORLD/input.png" >"$WORLD/truncated.png"
"$TESSAL" edit "$WORLD/truncated.png" 2>"$WORLD/truncated.err" && fail "a truncated file was accepted"
grep -q ': 图片已损坏或不完整$' "$WORLD/truncated.err" || fail "truncated: $(cat "$WORLD/truncated.err")"
pass "tessal edit opens a file, annotates and saves it"
