# Helpers for driving a long capture of the document fixture from outside (system tests and
# benchmarks). Needs world.sh and $here (this folder).

# A 1280 × 800 world with accessibility on, the document fixture ($doc) and Tessal.
document_world() {
    world_start 1280x800
    world_defaults '{"childRegionPermissionGuideShown": true}'
    dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >/dev/null || fail "cannot enable accessibility"
    "$TESSAL_FIXTURE" --document 100,100,long-document >>"$WORLD/fixture.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 10 xdotool search --name '^long-document$' || fail "no document fixture"
    sleep 0.5
    doc=$(xdotool search --name '^long-document$' | head -n1)
    tessal_start
    sleep 0.5
}

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

# Chooses a region of window $doc, then "长截图": from (LEFT, TOP) to (RIGHT, BOTTOM) of its
# client area, by default the document fixture's list with its swatch column.
start_long_capture() {
    local left=${1:-2} top=${2:-60} right=${3:-500} bottom=${4:-420}
    xdotool windowactivate --sync $doc
    eval "$(xdotool getwindowgeometry --shell $doc)"
    xdotool key ctrl+1
    sleep 0.6
    xdotool mousemove $((X + left)) $((Y + top)) mousedown 1 mousemove $((X + 200)) $((Y + 200)) \
        mousemove $((X + right)) $((Y + bottom)) mouseup 1
    sleep 0.4
    press "长截图"
    wait_for 10 xdotool search --onlyvisible --name '^Tessal · 长截图$' || fail "no control window"
    status_is "滚动原窗口，或点“自动滚动”。空格停止，Enter 复制，Esc 关闭。" || fail "no first frame"
}


# document_rows PNG X: checks the swatch column at x = X of a long capture of the document
# fixture and prints "ROWS ok", or "ROWS" and what is wrong: one run of 16 pixels per row, 4
# pixels apart, each hue 37° after the last.
document_rows() {
    convert "$1" -crop "1x+$2+0" +repage -depth 8 txt:- | tail -n +2 |
        sed -E 's/^0,([0-9]+): \(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3 \4/' >"$WORLD/column.txt"
    awk '
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
    }' "$WORLD/column.txt"
}
