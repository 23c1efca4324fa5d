#!/usr/bin/env bash
# Long capture on GNOME, where no client may read the screen or turn another's wheel by itself,
# run piece by piece by the stream probe with the long-capture code:
# - the frame stream reads the display through GNOME's own screen-cast service over PipeWire,
#   without a dialog: the first frame shows the display as the portal's screenshot does, a
#   window that opens brings a new frame, and the cast ends with the stream;
# - automatic scrolling's wheel turns reach a terminal we did not write through a remote-desktop
#   session of GNOME's: five notches up scroll its history, five down bring it back exactly.
# Skipped (77) where GNOME Shell is not installed (gnome_world.sh).
set -u
source "$(dirname "$0")/gnome_world.sh"
wayland_world_as_user "$@"
gnome_world_start 1600x900 --pipewire
require gtk3-widget-factory:gtk-3-examples pw-dump:pipewire-bin
[ -x "${TESSAL_STREAM_PROBE:-}" ] || fail "TESSAL_STREAM_PROBE must name the stream probe"
gnome_grant_screenshots
# Out of the overview, onto the empty desktop.
gnome_keys 0xff1b
sleep 1

"$TESSAL_STREAM_PROBE" 1 1600 900 12 "$WORLD/last.png" >"$WORLD/probe.out" 2>&1 &
probe=$!
wait_for 10 grep -q "^frame" "$WORLD/probe.out" ||
    fail "no frame from GNOME's screen cast: $(grep -v '^qt\.' "$WORLD/probe.out" | tail -n 3)"
grep -q "^frame .* 1600x900$" "$WORLD/probe.out" || fail "frames: $(head -n 3 "$WORLD/probe.out")"
frames=$(grep -c "^frame" "$WORLD/probe.out")
gtk3-widget-factory >/dev/null 2>&1 &
factory=$!
WORLD_PIDS+=($factory)
wait_for 10 sh -c "[ \$(grep -c '^frame' '$WORLD/probe.out') -gt $frames ]" ||
    fail "no new frame once a window opened"
sleep 3
"$TESSAL" capture --full -o "$WORLD/shot.png" 2>"$WORLD/shot.err" || fail "capture: $(cat "$WORLD/shot.err")"
wait $probe
[ -f "$WORLD/last.png" ] || fail "the probe kept no frame"
pass "GNOME's screen cast gives frames without a dialog, and a new one when the screen changes"

# The last frame is the display as the portal's screenshot shows it (GNOME's sharing indicator
# and the clock in the top bar aside).
for shot in last shot; do
    convert "$WORLD/$shot.png" -crop 1600x860+0+40 +repage "$WORLD/$shot-body.png"
done
diff=$(compare -fuzz 8% -metric AE "$WORLD/last-body.png" "$WORLD/shot-body.png" null: 2>&1 | awk '{ printf "%d", $1 }')
[ "$diff" -lt 2000 ] 2>/dev/null || fail "the last frame differs from the screenshot in $diff pixels"
# Nothing of the cast outlives the stream.
wait_for 5 sh -c '! pw-dump 2>/dev/null | grep -q "tessal-long-capture"' ||
    fail "the screen cast outlived its stream"
pass "the frames show the display's own pixels, and the cast ends with the stream"

# --- wheel turns -------------------------------------------------------------------------------
kill $factory
foot --maximized -o cursor.blink=no -o colors.background=ffffff -o colors.foreground=202020 \
    sh -c 'for i in $(seq 1 300); do echo "line $i: $(seq $i $((i + 20)) | tr "\n" " ")"; done; sleep 600' \
    >/dev/null 2>&1 &
WORLD_PIDS+=($!)
sleep 3
shot() { "$TESSAL" capture --full -o "$WORLD/$1.png" 2>"$WORLD/$1.err" || fail "capture: $(cat "$WORLD/$1.err")"; }
differ() { compare -metric AE "$WORLD/$1.png" "$WORLD/$2.png" null: 2>&1 | awk '{ printf "%d", $1 }'; }
shot before
# One remote-desktop session for both, as for the steps of one capture.
coproc WHEEL { "$TESSAL_STREAM_PROBE" --wheel 800 450 -5 5 2>/dev/null; }
turned() { read -r -t 10 answer <&"${WHEEL[0]}" && [ "$answer" = turned ]; }
turned || fail "the wheel was refused"
sleep 1
shot up
[ "$(differ before up)" -gt 5000 ] || fail "five notches up did not scroll the terminal ($(differ before up) pixels)"
echo next >&"${WHEEL[1]}"
turned || fail "the wheel was refused"
sleep 1
shot down
# The top bar's clock and GNOME's sharing indicator aside.
for s in before down; do convert "$WORLD/$s.png" -crop 1600x860+0+40 +repage "$WORLD/$s-body.png"; done
[ "$(differ before-body down-body)" -lt 50 ] ||
    fail "five notches down did not bring the terminal back ($(differ before-body down-body) pixels)"
pass "wheel turns through GNOME's remote-desktop session scroll a terminal up and back"
