#!/usr/bin/env bash
# Automatic long captures from outside, through the real program: the document fixture (400
# rows, checked row by row) and an xterm scrollback of 700 lines (about 20 screens, checked by
# the result's exact height). Prints the time from "自动滚动" to the end stop, the frames the
# capture reports and whether the result holds every row once.
set -u
here=$(cd "$(dirname "$0")/../tests/system" && pwd)
source "$here/world.sh"
source "$here/long_capture.sh"
now() { date +%s.%N; }

# The per-run figures are off by default.
export QT_LOGGING_RULES="tessal.longcapture.info=true"
document_world

# automatic DOCUMENT-NAME: from "自动滚动" to the end stop, then Return.
automatic() {
    press "自动滚动"
    local t0=$(now)
    status_is "画面未变化，自动滚动已停止。可手动继续，或直接复制。" 300 || fail "no end stop"
    local t1=$(now)
    xdotool key Return
    clipboard_png "$WORLD/$1.png"
    sleep 0.3
    echo "  $(printf '%.1f' "$(echo "$t1 - $t0" | bc)") s from 自动滚动 to the end stop (2 s of it the no-progress wait)"
    echo "  $(grep 'long capture closed' "$WORLD/tessal.log" | tail -n1 | sed 's/.*closed: //')"
}

echo "== long capture: document fixture, 400 rows (600 × 500 window, region 498 × 360) =="
start_long_capture
automatic fixture
verdict=$(document_rows "$WORLD/fixture.png" 9)
echo "  rows in the result: ${verdict%% *} of 397 in reach; each once and in order: ${verdict#* }"

echo "== long capture: xterm scrollback, 700 lines of 13 pixels =="
xdotool windowkill $doc
xterm -geometry 80x30+100+100 -e sh -c \
    'for i in $(seq 1 700); do echo "line $i · $((i * 7919 % 10007))"; done; sleep 600' \
    >/dev/null 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --class xterm || fail "no xterm"
sleep 1
term=$(xdotool search --class xterm | tail -n1)
eval "$(xdotool getwindowgeometry --shell $term)"
xdotool mousemove $((X + 200)) $((Y + 200))
for i in $(seq 1 200); do xdotool click 4; done  # to the top of the scrollback
sleep 0.5
doc=$term
# Lines 1… in a region of 26 lines (338 pixels) starting at the first line.
start_long_capture 2 2 402 340
automatic xterm
height=$(identify -format '%h' "$WORLD/xterm.png")
# The scrollback ends with 700 lines and the cursor line; the view shows 30 of them.
expected=$((338 + (701 - 30) * 13))
echo "  result height $height, every line once would be $expected"
