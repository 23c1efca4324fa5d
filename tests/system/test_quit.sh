#!/usr/bin/env bash
# Quitting from outside (SIGTERM at logout, or `kill`) in the middle of a capture, while region
# queries run: Tessal leaves cleanly (status 0, no crash), the screen is given back, and its
# socket and lock are released for the next start.
source "$(dirname "$0")/world.sh"
world_start 1280x800
world_defaults '{"childRegionPermissionGuideShown": true}'
panels_start 100 80 quit-panels
tessal_start
xdotool mousemove 1200 700 key ctrl+1
wait_for 5 sh -c "[ \"\$(import -window root -crop 1x1+300+300 -depth 8 txt:- | sed -n 2p | grep -o '([0-9,]*')\" != '(255,255,255' ]" ||
    fail "no overlay"
# Hover over the panels so region queries are in flight, then quit at once.
for x in 200 260 320 380 440; do xdotool mousemove $x 300; sleep 0.05; done
kill -TERM "$TESSAL_PID"
start=$SECONDS
wait "$TESSAL_PID"
status=$?
[ $status -eq 0 ] || fail "Tessal ended with status $status: $(tail -5 "$WORLD/tessal.log")"
[ $((SECONDS - start)) -le 3 ] || fail "quitting took $((SECONDS - start)) s"
[ ! -e "$XDG_RUNTIME_DIR/local.ostrel.sock" ] || fail "the socket was left behind"
overlays=$(xdotool search --onlyvisible --name '^Tessal · 截图$' 2>/dev/null | wc -l)
[ "$overlays" -eq 0 ] || fail "$overlays overlays left on screen"
pass "SIGTERM during a capture quits cleanly and releases the socket"

tessal_start
timeout 5 "$TESSAL" capture || fail "a new start after the quit does not answer"
pass "the next start becomes the resident"
