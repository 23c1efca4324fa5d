#!/usr/bin/env bash
# A long capture of a window Tessal did not draw: started from the editor's "长截图", scrolled
# automatically to the end, copied with Return (every row of the document exactly once, in
# order); its keys leave a third application alone; moving the source window stops it with its
# message; Escape closes every window it opened.
source "$(dirname "$0")/world.sh"
here=$(cd "$(dirname "$0")" && pwd)
world_start 1280x800
world_defaults '{"childRegionPermissionGuideShown": true}'
dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null ||
    fail "cannot enable accessibility"
"$TESSAL_FIXTURE" --document 100,100,long-document >>"$WORLD/fixture.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --name '^long-document$' || fail "no document fixture"
sleep 0.5
doc=$(xdotool search --name '^long-document$' | head -n1)
tessal_start
sleep 0.5

# Clicks our element named $1 (found through the accessibility tree).
press() {
    local at
    wait_for 10 sh -c "'$here/atspi_point.py' $TESSAL_PID '$1' >'$WORLD/at'" || fail "no \"$1\" on screen"
    at=$(cat "$WORLD/at")
    xdotool mousemove ${at% *} ${at#* } click 1
}
# Waits until the long capture's status line says $1.
status_is() { wait_for "${2:-10}" "$here/atspi_point.py" $TESSAL_PID "$1" >/dev/null; }
ours_visible() {
    for title in "Tessal · 长截图" "Tessal · 长截图选区" "Tessal · 长截图预览"; do
        xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 && return 0
    done
    return 1
}

# Chooses a region over the list (the swatch column included), then "长截图".
start_long_capture() {
    xdotool windowactivate --sync $doc
    eval "$(xdotool getwindowgeometry --shell $doc)"
    xdotool key ctrl+1
    sleep 0.6
    xdotool mousemove $((X + 2)) $((Y + 60)) mousedown 1 mousemove $((X + 200)) $((Y + 200)) \
        mousemove $((X + 500)) $((Y + 420)) mouseup 1
    sleep 0.4
    press "长截图"
    wait_for 10 xdotool search --onlyvisible --name '^Tessal · 长截图$' || fail "no control window"
    status_is "滚动原窗口，或点“自动滚动”。空格停止，Enter 复制，Esc 关闭。" || fail "no first frame"
}

start_long_capture
press "自动滚动"
status_is "画面未变化，自动滚动已停止。可手动继续，或直接复制。" 90 ||
    fail "automatic scrolling did not reach the end"
xdotool key Return
clipboard_png "$WORLD/long.png"
for _ in $(seq 50); do ours_visible || break; sleep 0.1; done
! ours_visible || fail "windows left after Return"

# The swatch column: one run of 16 pixels per row, 4 pixels apart, each hue 37° after the
# last, from the first row shown to row 399 (the last one in the region at the end).
convert "$WORLD/long.png" -crop "1x+9+0" +repage -depth 8 txt:- | tail -n +2 |
    sed -E 's/^0,([0-9]+): \(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3 \4/' >"$WORLD/column.txt"
verdict=$(awk '
    function hue(r, g, b,   mx, mn, d, h) {
        mx = r; if (g > mx) mx = g; if (b > mx) mx = b
        mn = r; if (g < mn) mn = g; if (b < mn) mn = b
        d = mx - mn; if (d == 0) return -1
        if (mx == r) h = 60 * (((g - b) / d) % 6)
        else if (mx == g) h = 60 * ((b - r) / d + 2)
        else h = 60 * ((r - g) / d + 4)
        return h < 0 ? h + 360 : h
    }
    {
        sat = ($2 > $3 ? ($2 > $4 ? $2 : $4) : ($3 > $4 ? $3 : $4)) - \
              ($2 < $3 ? ($2 < $4 ? $2 : $4) : ($3 < $4 ? $3 : $4))
        key = (sat > 60) ? $2 "," $3 "," $4 : "gap"
        if (key != last) {
            if (last != "") { n++; kind[n] = last; len[n] = $1 - start; h[n] = lastHue }
            last = key; start = $1; lastHue = hue($2, $3, $4)
        }
    }
    END {
        n++; kind[n] = last; len[n] = NR - start; h[n] = lastHue
        rows = 0; bad = ""
        for (i = 1; i <= n; i++) {
            inner = (i > 1 && i < n)
            if (kind[i] == "gap") { if (inner && len[i] != 4) bad = bad " gap" i "=" len[i]; continue }
            rows++
            if (inner && len[i] != 16) bad = bad " swatch" i "=" len[i]
            if (prev != "" ) { d = (h[i] - prev + 720) % 360; if (d < 34 || d > 40) bad = bad " hue" i "=" d }
            prev = h[i]
        }
        print rows, (bad == "" ? "ok" : bad)
    }' "$WORLD/column.txt")
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
