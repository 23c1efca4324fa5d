#!/usr/bin/env bash
# Long capture on sway: a document in a window we did not write (foot's scrollback, 240
# numbered lines), a region inside it, "长截图", scrolled by hand to its end, Return: the
# clipboard's picture starts and ends exactly as grim saw the region, without the pointer or our
# ring. Then "自动滚动" scrolls it to its end and stops there by itself; Return copies every row of
# the document between the region's first row and its last once, in order, as grim saw them.
# A last capture is closed with Escape and leaves no window of ours behind.
set -u
source "$(dirname "$0")/wayland_world.sh"
wayland_world_as_user "$@"
wayland_world_start 1280x800
require python3:python3 /usr/libexec/at-spi-bus-launcher:at-spi2-core
here=$(dirname "$0")
source "$here/wayland_long_capture.sh"
export QT_LOGGING_RULES="tessal.longcapture.info=true"
accessibility_start
scrollback_document 240

# The document as drawn; the region: 600 × 400 points inside the terminal.
X=200 Y=150 W=600 H=400
reference_document 240 "$WORLD/reference"

settled_shot "$WORLD/frame-000.png"
tessal_start
start_long_capture $X $Y $W $H
# The panels float beside the region without covering it or moving the terminal.
pointer move $((WORLD_WIDTH - 5)) $((WORLD_HEIGHT - 5))
sleep 0.3
# (On a busy machine the compositor may take a moment to put them there.)
unchanged_region() {
    grim -g "$X,$Y ${W}x$H" "$WORLD/during.png" &&
        same=$(compare -metric AE "$WORLD/frame-000.png" "$WORLD/during.png" null: 2>&1) &&
        [ "$same" = "0" ]
}
same=
wait_for 5 unchanged_region || fail "the region looks different once the capture runs ($same pixels)"
# The rules that keep our panels floating on every workspace touch our panels only, not the
# window that has the focus.
others_sticky() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("sticky") and not (node.get("name") or "").startswith("Tessal"):
        print(node.get("name"))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
sticky=$(others_sticky)
[ -z "$sticky" ] || fail "the long capture made other windows sticky: $sticky"
# Scrolled by hand, with the world's pointer over the terminal beside the region (the compositor
# draws it into every picture), a notch at a time.
for i in $(seq 1 80); do
    pointer scroll 1150 400 1
    sleep 0.25
done
sleep 1
settled_shot "$WORLD/end.png"
copy_long_capture "$WORLD/result.png"
wait_for 5 sh -c '! swaymsg -t get_tree | grep -q "Tessal · 长截图"' || fail "Return left a window"
grep 'long capture closed' "$WORLD/tessal.log" | tail -n1
# The result begins with the region as it was and ends with it as it is, pixel for pixel (no
# pointer, no ring of ours), and spans the scrolled text: over five screens of it.
read -r rw rh <<<"$(identify -format '%w %h' "$WORLD/result.png")"
[ "$rw" = "$W" ] && [ "$rh" -gt $((H * 5)) ] || fail "the result is ${rw}x$rh"
ends_are "$WORLD/result.png" "$WORLD/frame-000.png" "$WORLD/end.png" \
    "the result's ends differ from the screen"
# And every row between them once, in order: a frame that did not continue the last one (a
# stalled main thread, a busy compositor, a terminal caught mid-redraw) must not have been joined.
rows=$("$here/document_rows.py" "$WORLD/result.png" "$WORLD/reference" 2>&1) || fail "scrolled by hand: $rows"
pass "scrolled to the end, Return copied $rows, from the first screen to the last"

# --- automatic scrolling ---------------------------------------------------------------------
to_the_top 240
start_long_capture $X $Y $W $H
press_on_controls "自动滚动"
status_is "画面未变化，自动滚动已停止。可手动继续，或直接复制。" 60 || {
    for status in "已切换应用，自动滚动停止。" "目标区域被遮挡，自动滚动停止。" \
        "无法向原窗口发送滚动，自动滚动停止；仍可手动滚动。" "自动向下滚动中；空格停止，Enter 复制。" \
        "滚动过快，部分中间帧未能保留。若未接上，请稍向回滚动。" \
        "自动滚动已停止。请沿刚才滚动的反方向稍作回滚，匹配恢复后可继续。"; do
        status_is "$status" 1 && fail "automatic scrolling did not reach the end: $status"
    done
    fail "automatic scrolling did not stop at the end"
}
copy_long_capture "$WORLD/auto.png" "after the automatic run"
grep 'long capture closed' "$WORLD/tessal.log" | tail -n1

rows=$("$here/document_rows.py" "$WORLD/auto.png" "$WORLD/reference") ||
    fail "automatic scrolling: $rows"
pass "automatic scrolling went to the end by itself; Return copied $rows"

# --- Escape --------------------------------------------------------------------------------
to_the_top 240
start_long_capture $X $Y $W $H
key_to_controls Escape
wait_for 5 sh -c '! swaymsg -t get_tree | grep -q "Tessal · 长截图"' || fail "Escape left a window"
pass "Escape closes the capture and leaves no window behind"
