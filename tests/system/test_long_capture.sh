#!/usr/bin/env bash
# A long capture of a window Tessal did not draw: started from the editor's "长截图", scrolled
# automatically to the end, copied with Return (every row of the document exactly once, in
# order); its keys leave a third application alone; moving the source window stops it with its
# message; Escape closes every window it opened; a window without _NET_WM_PID is scrolled too.
source "$(dirname "$0")/world.sh"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/long_capture.sh"
document_world
# A swatch of the list's first rows as the fresh document shows them, to know it is back at the top.
eval "$(xdotool getwindowgeometry --shell $doc)"
top_swatch=$(pixel_at $((X + 11)) $((Y + 50)))

start_long_capture
press "自动滚动"
status_is "画面未变化，自动滚动已停止。可手动继续，或直接复制。" 90 ||
    fail "automatic scrolling did not reach the end"
xdotool key Return
clipboard_png "$WORLD/long.png"
for _ in $(seq 50); do ours_visible || break; sleep 0.1; done
! ours_visible || fail "windows left after Return"

verdict=$(document_rows "$WORLD/long.png" 9)
rows=${verdict%% *}
[ "${verdict#* }" = "ok" ] || fail "rows not stitched exactly once: $verdict"
[ "$rows" -ge 395 ] || fail "only $rows rows in the result"
pass "automatic scrolling to the end, Return copies all $rows rows once, in order"

# Space goes to the application in front when that is neither the source nor Tessal.
xev -name key-probe >"$WORLD/xev.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --name '^key-probe$' || fail "no xev window"
start_long_capture
probe=$(xdotool search --name '^key-probe$' | head -n1)
xdotool windowactivate --sync $probe
sleep 0.3
xdotool key space
sleep 0.3
grep -q 'keysym 0x20, space' "$WORLD/xev.log" || fail "Space did not reach the application in front"
! "$here/atspi_point.py" $TESSAL_PID "已停止，已有内容保留。点开始继续，或复制、保存、编辑。" >/dev/null ||
    fail "Space paused the capture while another application was in front"
xdotool windowactivate --sync $doc
sleep 0.3
xdotool key space
status_is "已停止，已有内容保留。点开始继续，或复制、保存、编辑。" || fail "Space did not pause"
# Paused, the region frame takes the mouse (its handles show) and stays on screen.
xdotool search --onlyvisible --name '^Tessal · 长截图选区$' >/dev/null || fail "the region frame left the screen"
xdotool key space
status_is "继续滚动原窗口，或开启自动滚动。" || fail "Space did not resume"
pass "Space pauses and resumes with the source in front and reaches any other application"

# Moving the source window stops the capture; what was stitched stays.
xdotool windowmove $doc 160 120
status_is "目标窗口已移动、缩放或关闭。 已有内容保留，可复制、保存或编辑。" ||
    fail "moving the source did not stop the capture"
pass "moving the source window stops the capture with its message"

xdotool windowactivate --sync $doc
sleep 0.2
xdotool key Escape
for _ in $(seq 50); do ours_visible || break; sleep 0.1; done
! ours_visible || fail "a window of the long capture is still shown"
kill -0 "$TESSAL_PID" || fail "Tessal exited"
pass "Escape closes every window of the long capture"

# A source whose client sets no _NET_WM_PID (several toolkits don't): its process comes from the
# X server, so automatic scrolling runs to the end and Return is taken while it is in front.
xprop -id $doc -remove _NET_WM_PID
xprop -id $doc _NET_WM_PID | grep -q 'not found' || fail "_NET_WM_PID is still set"
echo cleared | xclip -selection clipboard -i  # so the first copy is not read again
# Back to the top: the first capture left the document scrolled to its end.
eval "$(xdotool getwindowgeometry --shell $doc)"
xdotool mousemove $((X + 250)) $((Y + 240)) click --repeat 200 --delay 5 4
# A busy machine may still be turning the wheel after xdotool returns: wait until the top shows
# and stays.
at_top() { is_colour $((X + 11)) $((Y + 50)) "$top_swatch" && sleep 0.5 && is_colour $((X + 11)) $((Y + 50)) "$top_swatch"; }
wait_for 20 at_top || fail "the document did not scroll back to the top: $(pixel_at $((X + 11)) $((Y + 50))), not $top_swatch"
start_long_capture
press "自动滚动"
started=$SECONDS
status_is "画面未变化，自动滚动已停止。可手动继续，或直接复制。" 90 ||
    fail "automatic scrolling of a window without _NET_WM_PID did not reach the end"
scrolled_for=$((SECONDS - started))
xdotool windowactivate --sync $doc
sleep 0.2
xdotool key Return
wait_for 5 sh -c "xclip -selection clipboard -t image/png -o >'$WORLD/anonymous.png' && identify '$WORLD/anonymous.png'" ||
    fail "Return did not copy the capture of a window without _NET_WM_PID"
verdict=$(document_rows "$WORLD/anonymous.png" 9)
rows=${verdict%% *}
[ "${verdict#* }" = "ok" ] || fail "rows not stitched exactly once without _NET_WM_PID: $verdict ($(identify -format %wx%h "$WORLD/anonymous.png") after ${scrolled_for} s of automatic scrolling)"
[ "$rows" -ge 395 ] || fail "only $rows rows scrolled in a window without _NET_WM_PID"
pass "a window without _NET_WM_PID scrolls automatically to the end and takes Return"
