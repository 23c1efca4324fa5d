# Helpers for driving a long capture on sway from outside (system tests and benchmarks). Needs
# wayland_world.sh, a started world and $here (this folder).

# Our buttons are found through the accessibility tree; the overlay and the panels sit at their
# layout positions, so its coordinates are the pointer's.
accessibility_start() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORLD/atspi.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 10 dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true || fail "no accessibility bus"
}

# A terminal (app id "document") whose scrollback holds LINES numbered lines of numbers across
# the window, scrolled to its top.
scrollback_document() {
    foot --app-id=document -o scrollback.indicator-position=none -o colors.background=ffffff \
        -o colors.foreground=202020 -o cursor.blink=no -o scrollback.lines=10000 \
        sh -c "for i in \$(seq 1 $1); do echo \"line \$i:\" \$(seq \$i 7 \$((i + 140))); done; sleep 600" \
        >/dev/null 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 10 sway_has_window document || fail "no terminal"
    sleep 1
    to_the_top "$1"
}
# Scrolls the terminal of LINES lines to its top (three lines a notch).
to_the_top() {
    pointer scroll 640 400 -$(($1 / 3 + 20))
    pointer move $((WORLD_WIDTH - 5)) $((WORLD_HEIGHT - 5))
    sleep 0.3
}

press() {
    local at
    wait_for 10 sh -c "'$here/atspi_point.py' $TESSAL_PID '$1' >'$WORLD/at'" || fail "no \"$1\" on screen"
    at=$(cat "$WORLD/at")
    pointer click ${at% *} ${at#* }
}
# The same on the control window, whose accessible positions are its own (Qt on Wayland does not
# know where the compositor put it): offset by its place in sway's tree.
press_on_controls() {
    local at origin
    wait_for 10 sh -c "'$here/atspi_point.py' $TESSAL_PID '$1' >'$WORLD/at'" || fail "no \"$1\" on screen"
    at=$(cat "$WORLD/at")
    origin=$(swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("name") == "Tessal · 长截图":
        print(n["rect"]["x"], n["rect"]["y"]); sys.exit(0)
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin))')
    [ -n "$origin" ] || fail "no control window in sway's tree"
    pointer click $((${at% *} + ${origin% *})) $((${at#* } + ${origin#* }))
}
status_is() { wait_for "${2:-10}" "$here/atspi_point.py" $TESSAL_PID "$1" >/dev/null; }

# Chooses the region X Y W H (layout points) in a capture, then "长截图", and waits for the first
# frame (not with --no-wait).
start_long_capture() {
    "$TESSAL" capture
    wait_for 10 sway_has_window "Tessal · 截图" || fail "no overlay"
    sleep 0.5
    pointer drag "$1" "$2" $(($1 + $3)) $(($2 + $4))
    sleep 0.4
    press "长截图"
    wait_for 10 sway_has_window "Tessal · 长截图" || fail "no control window"
    [ "${5:-}" = --no-wait ] && return 0
    # The size shows once the first frame is in (the status may have moved on by then).
    status_is "$3 × $4 px" ||
        fail "no first frame: $(tail -n 5 "$WORLD/tessal.log")"
}

# A key for the control window, which has the focus as when the user clicks it.
key_to_controls() {
    swaymsg '[title="^Tessal · 长截图$"] focus' >/dev/null || fail "cannot focus the control window"
    sleep 0.2
    wtype -k "$1"
}

# A picture of the region $X $Y $W $H into $1 once the terminal has finished drawing: on a busy
# machine the screen may for a moment show a line twice (the terminal caught mid-redraw).
settled_shot() {
    grim -g "$X,$Y ${W}x$H" "$1"
    for _ in $(seq 20); do
        sleep 0.1
        grim -g "$X,$Y ${W}x$H" "$1.again"
        cmp -s "$1" "$1.again" && return
        mv "$1.again" "$1"
    done
}

# The document of $1 lines as drawn, as a reference for document_rows.py: the region, screen after
# overlapping screen (five notches, fifteen lines, apart) from the top down to its end; the
# pictures' names go one per line into $2. A pass is taken again until two agree: under load the
# terminal may now and then settle on a picture that shows a line twice, and that picture must
# not become the reference.
reference_document() {
    local pass agreed=""
    for pass in 1 2 3 4; do
        to_the_top "$1"
        local shots=() i
        for i in $(seq 0 40); do
            settled_shot "$WORLD/shot-$pass-$i.png"
            [ $i -gt 0 ] && cmp -s "$WORLD/shot-$pass-$i.png" "$WORLD/shot-$pass-$((i - 1)).png" && break
            shots+=("$WORLD/shot-$pass-$i.png")
            pointer scroll 1150 400 5
            pointer move $((WORLD_WIDTH - 5)) $((WORLD_HEIGHT - 5))
            sleep 0.2
        done
        printf '%s\n' "${shots[@]}" >"$WORLD/pass-$pass"
        "$here/document_rows.py" --document "$WORLD/pass-$pass" "$WORLD/document-$pass.rgb" ||
            fail "the terminal's own pictures do not join"
        for ((i = 1; i < pass; ++i)); do
            cmp -s "$WORLD/document-$i.rgb" "$WORLD/document-$pass.rgb" && agreed=$i && break 2
        done
        [ $pass -gt 1 ] && echo "the terminal drew its document differently in pass $pass"
    done
    [ -n "$agreed" ] || fail "no two passes over the terminal's document agree"
    cp "$WORLD/pass-$agreed" "$2"
    to_the_top "$1"
}

# Return on the control window; the copied picture into $1 (what failed is said with $2).
copy_long_capture() {
    wl-copy --clear
    key_to_controls Return
    clipboard_png "$1" "${2:-}"
}

# Fails unless the long picture $1 ($W wide) begins as $2 and ends as $3, pixel for pixel; the
# message starts with $4.
ends_are() {
    local height top bottom
    height=$(identify -format '%h' "$1")
    convert "$1" -crop "${W}x$H+0+0" +repage "$1.top.png"
    convert "$1" -crop "${W}x$H+0+$((height - H))" +repage "$1.bottom.png"
    top=$(compare -metric AE "$1.top.png" "$2" null: 2>&1)
    bottom=$(compare -metric AE "$1.bottom.png" "$3" null: 2>&1)
    [ "$top" = "0" ] && [ "$bottom" = "0" ] ||
        fail "$4: $top pixels differ at the top, $bottom at the bottom"
}
