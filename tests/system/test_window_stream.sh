#!/usr/bin/env bash
# The long-capture frame stream on a real window: frames of the window's pixel size while it
# scrolls, nothing while it is still, its own content even under another window (from the very
# first picture), a pause while
# it is hidden, and an error when the window goes away.
source "$(dirname "$0")/world.sh"
: "${TESSAL_STREAM_PROBE:?TESSAL_STREAM_PROBE must name the probe}"
world_start 1280x800
"$TESSAL_FIXTURE" --document 100,100,stream-document >>"$WORLD/fixture.log" 2>&1 &
doc_pid=$!
WORLD_PIDS+=($doc_pid)
wait_for 10 xdotool search --name '^stream-document$' || fail "no document fixture"
sleep 0.5
id=$(xdotool search --name '^stream-document$' | head -n1)
w=$(xwininfo -id "$id" | sed -n 's/.*Width: *//p')
h=$(xwininfo -id "$id" | sed -n 's/.*Height: *//p')

# Scrolling: frames of the window's pixel size.
"$TESSAL_STREAM_PROBE" "$id" "$w" "$h" 2 "$WORLD/last.png" >"$WORLD/probe.out" 2>&1 &
probe=$!
sleep 0.3
xdotool mousemove 400 350
for i in 1 2 3 4 5 6; do xdotool click 5; sleep 0.12; done
wait $probe
grep -q '^frame' "$WORLD/probe.out" || fail "no frames: $(cat "$WORLD/probe.out")"
sizes=$(grep '^frame' "$WORLD/probe.out" | awk '{print $3}' | sort -u)
[ "$sizes" = "${w}x${h}" ] || fail "frame sizes $sizes, window ${w}x${h}"
[ "$(grep -c '^frame' "$WORLD/probe.out")" -ge 4 ] || fail "too few frames while scrolling: $(cat "$WORLD/probe.out")"
# Still: the first picture only, however long the stream runs.
"$TESSAL_STREAM_PROBE" "$id" "$w" "$h" 1.5 "$WORLD/still.png" >"$WORLD/still.out" 2>&1
[ "$(grep -c '^frame' "$WORLD/still.out")" -eq 1 ] || fail "frames while the window was still: $(cat "$WORLD/still.out")"
pass "frames of the window's pixel size while it scrolls, only the first while it is still"

# Hidden (unmapped) and shown again: the stream pauses and goes on, it does not fail.
"$TESSAL_STREAM_PROBE" "$id" "$w" "$h" 2.5 "$WORLD/hidden.png" >"$WORLD/hidden.out" 2>&1 &
probe=$!
sleep 0.4
xdotool windowunmap "$id"
sleep 0.6
xdotool windowmap "$id"
sleep 0.3
xdotool mousemove 400 350 click 5
wait $probe
! grep -q '^failure' "$WORLD/hidden.out" || fail "hiding the window ended the stream: $(cat "$WORLD/hidden.out")"
[ "$(grep -c '^frame' "$WORLD/hidden.out")" -ge 2 ] || fail "no frames after the window came back: $(cat "$WORLD/hidden.out")"
pass "a hidden window pauses the stream, which resumes when it is shown"

# Covered by a red window: the frames still show the document, not the cover.
"$TESSAL_FIXTURE" --window 150,150,500,400,stream-cover,#ff0000 >>"$WORLD/fixture.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --name '^stream-cover$' || fail "no cover window"
sleep 0.5
"$TESSAL_STREAM_PROBE" "$id" "$w" "$h" 2 "$WORLD/covered.png" >"$WORLD/probe2.out" 2>&1 &
probe=$!
sleep 0.3
for i in 1 2 3; do xdotool click 5; sleep 0.15; done
wait $probe
[ -s "$WORLD/covered.png" ] || fail "no frame under the cover: $(cat "$WORLD/probe2.out")"
red=$(convert "$WORLD/covered.png" -fill black +opaque 'rgb(255,0,0)' -fill white -opaque 'rgb(255,0,0)' -format '%[fx:mean*w*h]' info:)
[ "${red%.*}" -lt 10 ] || fail "the covering window shows in the frames ($red red pixels)"
pass "the stream shows the window's own content under another window"

# Windows half under the cover: their very first picture holds what the cover hid. X11 hands out
# a window just redirected with nothing (black) there until its owner paints it again; a long
# capture that kept that first picture stitched every later frame against a black block. Each
# owner is held still while the stream starts, as a busy program would be, so that it paints only
# after the stream's first picture could have been taken. GTK draws in its window itself, Athena
# widgets (xmessage), like xterm, Tk and Motif, in windows inside it.
require gtk3-demo:gtk-3-examples xmessage:x11-utils
first_picture_under_cover() {  # WINDOW NAME PID
    local w h pid=$3 probe differing
    xdotool windowmove --sync "$1" 400 200
    xdotool windowactivate --sync "$(xdotool search --name '^stream-cover$' | head -n1)"
    sleep 0.5
    w=$(xwininfo -id "$1" | sed -n 's/.*Width: *//p')
    h=$(xwininfo -id "$1" | sed -n 's/.*Height: *//p')
    kill -STOP "$pid" || fail "cannot hold $2 still"
    "$TESSAL_STREAM_PROBE" "$1" "$w" "$h" 1 "$WORLD/repainted.png" "$WORLD/first.png" \
        >"$WORLD/probe-first.out" 2>&1 &
    probe=$!
    sleep 0.2
    kill -CONT "$pid"
    wait $probe
    differing=$(compare -metric AE "$WORLD/first.png" "$WORLD/repainted.png" null: 2>&1)
    [ "$differing" = 0 ] || fail "the first picture of $2 under another window is not its" \
        "content ($differing pixels differ from the picture after it): $(cat "$WORLD/probe-first.out")"
}
gtk3-demo >/dev/null 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --name '^Application Class$' || fail "no gtk3-demo window"
first_picture_under_cover "$(xdotool search --name '^Application Class$' | head -n1)" gtk3-demo $!
xmessage -geometry 500x300 -name stream-message "$(seq -s ' ' 1 400 | fold -w 60)" \
    >/dev/null 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --classname '^stream-message$' || fail "no xmessage window"
first_picture_under_cover "$(xdotool search --classname '^stream-message$' | head -n1)" xmessage $!
pass "the first picture of a window under another already shows what the other hid"

# The window disappears: the stream reports an error instead of hanging.
"$TESSAL_STREAM_PROBE" "$id" "$w" "$h" 3 "$WORLD/gone.png" >"$WORLD/probe3.out" 2>&1 &
probe=$!
sleep 0.5
kill "$doc_pid"
wait $probe
# Its own code: 5 is the long capture's "moved, resized or closed", which it checks itself.
grep -q '^failure 7 无法读取窗口内容：窗口已关闭$' "$WORLD/probe3.out" || fail "no failure of its own when the window went away: $(cat "$WORLD/probe3.out")"
pass "a window that disappears ends the stream with an error of its own"

# A receiver slower than the window: at most a few pictures wait for it (1280 × 800: 4 MB
# each), however long the stream runs; without a bound they pile up by the hundred.
"$TESSAL_STREAM_PROBE" --load 1280 800 3 5 >"$WORLD/load.out" 2>&1 || fail "load probe: $(cat "$WORLD/load.out")"
peak=$(sed -n 's/^peak-rss-mib //p' "$WORLD/load.out")
received=$(sed -n 's/^frames-received //p' "$WORLD/load.out")
[ -n "$peak" ] && [ "$peak" -lt 200 ] || fail "pictures pile up behind a slow receiver: $(cat "$WORLD/load.out")"
[ "${received:-0}" -ge 8 ] || fail "the slow receiver got too few pictures: $(cat "$WORLD/load.out")"
pass "a slow receiver holds the stream back instead of piling up pictures ($peak MiB at most)"
