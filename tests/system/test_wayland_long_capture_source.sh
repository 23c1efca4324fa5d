#!/usr/bin/env bash
# Long capture on sway when the window under the region does not stay put: the document (foot's
# scrollback) is scrolled a little by hand, then the user moves the window (made floating and put
# elsewhere over sway's IPC) or closes it. The capture stops with the message that says so, what
# was stitched stays exportable (Return copies it, rows as grim saw them), and Escape leaves no
# window of ours behind.
set -u
source "$(dirname "$0")/wayland_world.sh"
wayland_world_as_user "$@"
wayland_world_start 1280x800
require python3:python3 /usr/libexec/at-spi-bus-launcher:at-spi2-core
here=$(dirname "$0")
source "$here/wayland_long_capture.sh"
accessibility_start
scrollback_document 240
tessal_start

X=200 Y=150 W=600 H=400
stopped="目标窗口已移动、缩放或关闭。 已有内容保留，可复制、保存或编辑。"
# No window of ours in sway's tree (app id or title).
none_of_ours() { ! swaymsg -t get_tree | grep -q -E '"app_id": "local\.ostrel"|"name": "Tessal · '; }

# Scrolls by hand until the capture has more than its first frame.
scroll_a_little() {
    for i in $(seq 1 4); do
        pointer scroll 1150 400 1
        sleep 0.25
    done
    pointer move $((WORLD_WIDTH - 5)) $((WORLD_HEIGHT - 5))
    status_is "已拼接。继续滚动，或直接复制、保存。" 10 || fail "nothing was stitched before the move"
    sleep 0.5
}

# --- moved: Return copies what was stitched -------------------------------------------------
settled_shot "$WORLD/first.png"
start_long_capture $X $Y $W $H
scroll_a_little
settled_shot "$WORLD/last.png"
swaymsg '[app_id="document"] floating enable, resize set 1000 700, move position 100 60' >/dev/null ||
    fail "sway did not move the document"
status_is "$stopped" 10 || fail "moving the source did not stop the capture: $(tail -n 3 "$WORLD/tessal.log")"
pass "moving the window under the region stops the capture and says so"
copy_long_capture "$WORLD/moved.png" "after the move"
read -r rw rh <<<"$(identify -format '%w %h' "$WORLD/moved.png")"
[ "$rw" = "$W" ] && [ "$rh" -gt "$H" ] || fail "what was stitched before the move is ${rw}x$rh"
# It begins and ends as grim saw the region before the move: nothing after it was stitched.
ends_are "$WORLD/moved.png" "$WORLD/first.png" "$WORLD/last.png" \
    "the copy's ends differ from the region before the move"
wait_for 5 none_of_ours || fail "Return left a window of ours after the move"
pass "Return copied the ${rw}x$rh pixels stitched before the move and closed every window"

# --- moved while scrolling automatically ----------------------------------------------------
swaymsg '[app_id="document"] floating disable' >/dev/null
sleep 0.5
to_the_top 240
start_long_capture $X $Y $W $H
press_on_controls "自动滚动"
status_is "自动向下滚动中；空格停止，Enter 复制。" 10 || fail "automatic scrolling did not start"
sleep 1
swaymsg '[app_id="document"] floating enable, move position 40 20' >/dev/null ||
    fail "sway did not move the document"
status_is "$stopped" 10 || fail "moving the source while scrolling did not stop the capture"
status_is "自动滚动" 2 || fail "the automatic scrolling button still says it runs"
copy_long_capture "$WORLD/scrolled.png" "after the move while scrolling"
read -r rw rh <<<"$(identify -format '%w %h' "$WORLD/scrolled.png")"
[ "$rw" = "$W" ] && [ "$rh" -ge "$H" ] || fail "what was stitched before the move is ${rw}x$rh"
wait_for 5 none_of_ours || fail "Return left a window of ours after the move while scrolling"
pass "a move while scrolling automatically stops both; Return copied ${rw}x$rh pixels"

# --- closed: Escape leaves nothing -----------------------------------------------------------
swaymsg '[app_id="document"] floating disable' >/dev/null
sleep 0.5
to_the_top 240
start_long_capture $X $Y $W $H
scroll_a_little
swaymsg '[app_id="document"] kill' >/dev/null || fail "sway did not close the document"
status_is "$stopped" 10 || fail "closing the source did not stop the capture: $(tail -n 3 "$WORLD/tessal.log")"
kill -0 "$TESSAL_PID" 2>/dev/null || fail "tessal ended when the source closed"
pass "closing the window under the region stops the capture and says so"
key_to_controls Escape
wait_for 5 none_of_ours || fail "Escape left a window of ours: $(swaymsg -t get_tree | grep -E '"(app_id|name)"' | sort -u)"
kill -0 "$TESSAL_PID" 2>/dev/null || fail "tessal ended with the capture"
pass "Escape closes the stopped capture and leaves no window of ours behind"
