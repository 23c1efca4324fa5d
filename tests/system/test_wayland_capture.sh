#!/usr/bin/env bash
# Capturing on Wayland (screencopy, and the Screenshot portal), in a headless sway world with a
# second output at scale 2: the frozen, dimmed overlay
# on the output; a drag and Return put exactly the dragged pixels on the clipboard; Escape
# restores the screen; `tessal capture --full` writes the display; a panel seen in the image
# is proposed; a refused portal request shows the alert and leaves no overlay behind.
set -u
source "$(dirname "$0")/wayland_world.sh"
wayland_world_as_user "$@"
wayland_world_start 1280x800 --second-output

capture_open() {
    "$TESSAL" capture
    wait_for 10 sway_has_window "Tessal · 截图" || fail "no overlay ($1)"
    sleep 0.5
}
overlays_gone() { wait_for 5 sh -c '! swaymsg -t get_tree | grep -q "Tessal · 截图"'; }
# Return, then the clipboard's image/png into $1.
copy_to() {
    wtype -k Return
    overlays_gone || fail "Return left the overlay"
    clipboard_png "$1"
}
# Rest the pointer over the terminal until its rectangle is proposed.
rest_over_terminal() {
    pointer move 500 420
    sleep 0.2
    pointer move 505 425
    sleep 1.5
}

# Something to capture: a foot terminal (floating at 200,150, 600 × 400) with a coloured bar.
foot --app-id=probe -o colors.background=1e3a5f -o colors.foreground=ffffff \
    sh -c 'printf "\033[?25l\033[42m%80s\033[0m\n" " "; for i in $(seq 40); do echo "line $i of the probe"; done; sleep 600' \
    >"$WORLD/foot.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 sway_has_window probe || fail "foot did not appear"
# The compositor draws the pointer into the picture: keep it in a corner whenever the screen is
# compared.
pointer move 1275 795
sleep 1
grim -o HEADLESS-1 "$WORLD/before.png" || fail "grim failed"

# --- the display, written without interface, by both paths -------------------------------
for source in portal screencopy; do
    TESSAL_SCREENSHOT=$source "$TESSAL" capture --full -o "$WORLD/full-$source.png" \
        2>"$WORLD/full.err" || fail "capture --full through $source failed: $(cat "$WORLD/full.err")"
    [ "$(identify -format %wx%h "$WORLD/full-$source.png")" = "1280x800" ] ||
        fail "full capture size through $source"
    # The portal's picture may carry the pointer (in its corner), and with displays of two
    # scales it is one picture at one scale, resampled for the other; screencopy's is exact.
    fuzz=()
    limit=1
    [ $source = portal ] && fuzz=(-fuzz 25%) && limit=400
    diff=$(compare "${fuzz[@]}" -metric AE "$WORLD/full-$source.png" "$WORLD/before.png" null: 2>&1)
    [ "$diff" -lt $limit ] 2>/dev/null || fail "$source capture differs from grim in $diff pixels"
done
pass "capture --full writes the display through the portal and through screencopy"

grim -o HEADLESS-2 "$WORLD/before-2.png"
"$TESSAL" capture --full --display 1 -o "$WORLD/full-2.png" || fail "capture --full --display 1"
[ "$(identify -format %wx%h "$WORLD/full-2.png")" = "1600x1200" ] ||
    fail "the scale-2 display is $(identify -format %wx%h "$WORLD/full-2.png"), not 1600x1200"
diff=$(compare -metric AE "$WORLD/full-2.png" "$WORLD/before-2.png" null: 2>&1)
[ "$diff" -lt 1 ] 2>/dev/null || fail "the scale-2 display differs from grim in $diff pixels"
pass "the second display, at scale 2, is written pixel for pixel"

# At a fractional scale the display keeps its own pixels too (Qt itself rounds 1.5 up to 2). The
# pointer's picture reaches over the display's edge from its corner: away with it meanwhile.
swaymsg output HEADLESS-2 scale 1.5 >/dev/null
pointer move 640 400
sleep 0.5
grim -o HEADLESS-2 "$WORLD/before-15.png"
"$TESSAL" capture --full --display 1 -o "$WORLD/full-15.png" || fail "capture --full at scale 1.5"
[ "$(identify -format %wx%h "$WORLD/full-15.png")" = "1600x1200" ] ||
    fail "the scale-1.5 display is $(identify -format %wx%h "$WORLD/full-15.png"), not 1600x1200"
# grim resamples the output and leaves its top row a shade translucent.
diff=$(compare -fuzz 2% -metric AE "$WORLD/full-15.png" "$WORLD/before-15.png" null: 2>&1)
[ "$diff" -lt 1 ] 2>/dev/null || fail "the scale-1.5 display differs from grim in $diff pixels"
# A part of it: points from the display's bottom-left, 1.5 pixels each.
"$TESSAL" capture --region 100,100,200,100 --display 1 -o "$WORLD/part-15.png" ||
    fail "capture --region at scale 1.5"
convert "$WORLD/before-15.png" -crop 300x150+150+900 +repage "$WORLD/before-part-15.png"
[ "$(identify -format %wx%h "$WORLD/part-15.png")" = "300x150" ] ||
    fail "the region at scale 1.5 is $(identify -format %wx%h "$WORLD/part-15.png"), not 300x150"
diff=$(compare -fuzz 2% -metric AE "$WORLD/part-15.png" "$WORLD/before-part-15.png" null: 2>&1)
[ "$diff" -lt 1 ] 2>/dev/null || fail "the region at scale 1.5 differs from grim in $diff pixels"
swaymsg output HEADLESS-2 scale 2 >/dev/null
pointer move 1275 795
sleep 0.5
pass "a display at scale 1.5, and a part of it, are written pixel for pixel"

# A clock on the second output, to tell a frozen picture from the live screen there.
foot --app-id=clock sh -c 'while true; do printf "\033[2J\033[H%s" "$(date +%N)"; sleep 0.1; done' \
    >/dev/null 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 sway_has_window clock || fail "the clock did not appear"
swaymsg '[app_id=clock] move to output HEADLESS-2' >/dev/null
sleep 0.5

# --- the overlay --------------------------------------------------------------------------
# Resting over the terminal proposes its rectangle (sway lists it; test_wayland_windows checks the
# frames exactly) and everything else is dimmed.
tessal_start
capture_open "the first time"
rest_over_terminal
grim -o HEADLESS-1 "$WORLD/overlay.png"
mean() { convert "$1" -crop "$2" -colorspace gray -format '%[fx:mean]' info:; }
outside_before=$(mean "$WORLD/before.png" 200x150+1000+620)
outside_during=$(mean "$WORLD/overlay.png" 200x150+1000+620)
inside_before=$(mean "$WORLD/before.png" 200x100+550+300)
inside_during=$(mean "$WORLD/overlay.png" 200x100+550+300)
awk "BEGIN{exit !($outside_during < $outside_before * 0.8)}" ||
    fail "outside the proposed window not dimmed: $outside_before → $outside_during"
awk "BEGIN{d = $inside_during - $inside_before; exit !(d < 0.02 && d > -0.02)}" ||
    fail "the proposed window is not shown as it was: $inside_before → $inside_during"
# The second output: frozen while the clock under it runs on. (Checked with the pointer there:
# without the software cursor on it, this sway shows a full-screen window by direct scan-out,
# which its screencopy — and so grim — does not see.)
pointer move 1700 300
sleep 0.5
grim -o HEADLESS-2 "$WORLD/overlay-2a.png"
sleep 0.5
grim -o HEADLESS-2 "$WORLD/overlay-2b.png"
frozen=$(compare -metric AE "$WORLD/overlay-2a.png" "$WORLD/overlay-2b.png" null: 2>&1)
[ "$frozen" = "0" ] || fail "the second output is live under the overlay ($frozen pixels changed)"
pointer move 505 425
sleep 0.5
pass "tessal capture shows the frozen overlay on both outputs; the window under the pointer stays clear and the rest is dimmed"

wtype -k Escape
overlays_gone || fail "Escape left the overlay"
pointer move 1275 795
sleep 0.3
grim -o HEADLESS-1 "$WORLD/after.png"
diff=$(compare -metric AE "$WORLD/after.png" "$WORLD/before.png" null: 2>&1)
[ "$diff" -lt 100 ] 2>/dev/null || fail "the screen after Escape differs in $diff pixels"
pass "Escape restores the screen"

# --- drag and Return ----------------------------------------------------------------------
capture_open "the second time"
pointer drag 260 200 580 380
sleep 0.3
copy_to "$WORLD/clip.png"
convert "$WORLD/before.png" -crop 320x180+260+200 +repage "$WORLD/expected.png"
[ "$(identify -format %wx%h "$WORLD/clip.png")" = "320x180" ] ||
    fail "clipboard image is $(identify -format %wx%h "$WORLD/clip.png"), not 320x180"
diff=$(compare -metric AE "$WORLD/clip.png" "$WORLD/expected.png" null: 2>&1)
[ "$diff" -lt 50 ] 2>/dev/null || fail "clipboard differs from the dragged area in $diff pixels"
pass "a drag and Return put exactly the dragged pixels on the clipboard"

# --- the window under the pointer -----------------------------------------------------------
# Hovering over the terminal proposes its rectangle; a click takes it and Return copies it.
pointer move 1275 795
capture_open "the third time"
rest_over_terminal
pointer click 505 425
sleep 0.3
copy_to "$WORLD/window.png"
size=$(identify -format '%w %h' "$WORLD/window.png")
read -r w h <<<"$size"
# Within a pixel or two: where a compositor lists no windows, the image analysis finds the edge.
[ "$w" -ge 600 ] && [ "$w" -le 604 ] && [ "$h" -ge 400 ] && [ "$h" -le 404 ] ||
    fail "the proposed region was $size, not the terminal's 600 400"
convert "$WORLD/window.png" -crop "596x396+$(((w - 596) / 2))+$(((h - 396) / 2))" +repage "$WORLD/inner.png"
convert "$WORLD/before.png" -crop 596x396+202+152 +repage "$WORLD/terminal.png"
diff=$(compare -metric AE "$WORLD/inner.png" "$WORLD/terminal.png" null: 2>&1)
[ "$diff" -lt 50 ] 2>/dev/null || fail "the proposed region differs from the terminal in $diff pixels"
pass "hovering proposes the window under the pointer; a click and Return copy it"

# --- displays that come and go ------------------------------------------------------------
pointer move 1275 795
capture_open "before the output change"
swaymsg output HEADLESS-2 disable >/dev/null
sleep 0.5
kill -0 "$TESSAL_PID" 2>/dev/null || fail "tessal ended when an output went away during a capture"
wtype -k Escape
overlays_gone || fail "overlays left after Escape"
capture_open "with one output left"
pointer drag 100 100 300 250
copy_to "$WORLD/one.png"
[ "$(identify -format %wx%h "$WORLD/one.png")" = "200x150" ] || fail "capture after the change"
swaymsg output HEADLESS-2 enable >/dev/null
sleep 0.5
"$TESSAL" capture --full --display 1 -o "$WORLD/back.png" || fail "the output that came back"
[ "$(identify -format %wx%h "$WORLD/back.png")" = "1600x1200" ] || fail "size after it came back"
kill -0 "$TESSAL_PID" 2>/dev/null || fail "tessal ended"
pass "an output removed during a capture and added again: Tessal goes on and captures what is there"

# --- the frozen still ---------------------------------------------------------------------
# From the first frame that shows it, the dimmed display is this capture's picture of it, dimmed
# as the overlay dims it: after the screen changed between two captures, never the pixels of the
# one before (the buffers the pictures arrive in are used again). Escape leaves nothing of it.
require swaybg:swaybg
spot() { "$TESSAL_WL_POINTER" "$WORLD_WIDTH" "$WORLD_HEIGHT" watch 40 40 "$@"; }
dimmed() {
    python3 -c 'import sys; c = int(sys.argv[1], 16)
print("%06x" % sum(round(((c >> s) & 255) * 0.6) << s for s in (0, 8, 16)))' "$1"
}
near() {
    python3 -c 'import sys; a, b = (int(x, 16) for x in sys.argv[1:])
sys.exit(any(abs(((a >> s) & 255) - ((b >> s) & 255)) > 1 for s in (0, 8, 16)))' "$1" "$2"
}
# still_shows COLOUR...: for each, that background, a capture, its first dimmed frame, Escape.
still_shows() {
    local colour watcher before first after
    for colour in "$@"; do
        swaymsg output HEADLESS-1 background "#$colour" solid_color >/dev/null
        sleep 0.5
        spot >"$WORLD/spot-$colour.txt" &
        watcher=$!
        wait_for 5 test -s "$WORLD/spot-$colour.txt" || fail "the test pointer watches nothing"
        before=$(head -n1 "$WORLD/spot-$colour.txt" | cut -d' ' -f2)
        [ "$before" = "$colour" ] || fail "the background shows #$before, not #$colour"
        capture_open "over #$colour"
        kill $watcher
        first=$(awk -v b="$before" '$2 != b { print $2; exit }' "$WORLD/spot-$colour.txt")
        near "$first" "$(dimmed $colour)" ||
            fail "the first dimmed frame over #$colour showed #$first, not #$(dimmed $colour)"
        wtype -k Escape
        overlays_gone || fail "Escape left the overlay"
        sleep 0.3
        after=$(spot 1 | cut -d' ' -f2)
        [ "$after" = "$colour" ] || fail "after Escape the screen shows #$after, not #$colour"
    done
}
still_shows 5a7fa8 c86432
pass "the frozen still shows each capture's own pixels, dimmed, and goes with Escape"

# The same with the portal's pictures.
kill "$TESSAL_PID"
wait "$TESSAL_PID" 2>/dev/null
rm -f "$XDG_RUNTIME_DIR/local.ostrel.sock"
export TESSAL_SCREENSHOT=portal
tessal_start
still_shows 3c8c50 a05a78
pass "through the portal too"
