#!/usr/bin/env bash
# Windows to pick on GNOME, which tells other programs nothing of where windows are, once the
# user has enabled Tessal's GNOME Shell extension (installed with Tessal; its GNOME 43–44 form
# here): `tessal capture --list-windows` prints the Shell's windows front to back with their
# frames; the pointer resting on a window, `--window-under-pointer` takes exactly that window;
# in a capture, Space, a click on a window and Return copy exactly its frame.
# Skipped (77) where GNOME Shell is not installed (gnome_world.sh).
set -u
source "$(dirname "$0")/gnome_world.sh"
wayland_world_as_user "$@"
gnome_extension_install
gnome_world_start 1600x900
require foot:foot python3:python3
here=$(dirname "$0")
gnome_bus_has local.ostrel.ShellWindows && fail "the extension ran before it was enabled"
gnome_extension_enable
gnome_grant_screenshots
gnome_keys 0xff1b  # out of the overview
mkdir -p "$XDG_CONFIG_HOME/local.ostrel"
echo '{"historyEnabled": true}' >"$XDG_CONFIG_HOME/local.ostrel/defaults.json"

for colours in ffffff:202020 203040:e0e0e0; do
    foot -o cursor.blink=no -o colors.background=${colours%:*} -o colors.foreground=${colours#*:} \
        -W 90x30 sh -c 'seq 1 200; sleep 600' >/dev/null 2>&1 &
    WORLD_PIDS+=($!)
    sleep 2
done
# The Shell's list as the extension reports it: id x y w h pid, front to back.
frames() {
    gdbus call --session --dest local.ostrel.ShellWindows --object-path /local/ostrel/ShellWindows \
        --method local.ostrel.ShellWindows.List | python3 -c '
import ast, json, sys
report = json.loads(ast.literal_eval(sys.stdin.read().strip())[0])
for w in report["windows"]:
    print(w["id"], *w["frame"], w["pid"])'
}
frames >"$WORLD/frames.txt"
[ "$(wc -l <"$WORLD/frames.txt")" -eq 2 ] || fail "the Shell shows: $(cat "$WORLD/frames.txt")"

lists_windows "$WORLD/frames.txt" --ids
pass "--list-windows prints the Shell's windows front to back, as the extension reports them"

"$TESSAL" capture --full -o "$WORLD/before.png" 2>"$WORLD/full.err" || fail "no picture: $(cat "$WORLD/full.err")"
# A point on window number INDEX (0: the front one) where no window in front of it lies.
point_on() {
    local n=0 id x y w h pid px py
    while read -r id x y w h pid; do
        if [ $n -eq "$1" ]; then
            for px in $((x + 20)) $((x + w - 20)); do
                for py in $((y + h - 20)) $((y + 40)); do
                    covered "$1" $px $py || { echo "$px $py $x $y $w $h"; return 0; }
                done
            done
            return 1
        fi
        n=$((n + 1))
    done <"$WORLD/frames.txt"
    return 1
}
covered() {
    local n=0 id x y w h pid
    while read -r id x y w h pid; do
        [ $n -ge "$1" ] && return 1
        [ "$2" -ge "$x" ] && [ "$2" -lt $((x + w)) ] && [ "$3" -ge "$y" ] && [ "$3" -lt $((y + h)) ] && return 0
        n=$((n + 1))
    done <"$WORLD/frames.txt"
    return 1
}
same_as_screen() {  # PNG X Y W H: the copy equals the display's pixels there
    convert "$WORLD/before.png" -crop "${4}x$5+$2+$3" +repage "$WORLD/expected.png"
    [ "$(identify -format %wx%h "$1")" = "${4}x$5" ] || fail "$1 is $(identify -format %wx%h "$1"), not ${4}x$5"
    diff=$(compare -metric AE "$1" "$WORLD/expected.png" null: 2>&1)
    [ "$diff" -lt $(($4 * $5 / 100)) ] 2>/dev/null || fail "$1 differs from the screen in $diff pixels"
}
for index in 0 1; do
    read -r px py x y w h < <(point_on $index) || fail "window $index lies wholly behind the other"
    gnome_input move:$px,$py
    sleep 0.3
    "$TESSAL" capture --window-under-pointer -o "$WORLD/under-$index.png" 2>"$WORLD/under.err" ||
        fail "--window-under-pointer: $(cat "$WORLD/under.err")"
    same_as_screen "$WORLD/under-$index.png" $x $y $w $h
done
pass "--window-under-pointer takes the window the Shell says the pointer is on, front or behind"

tessal_start
read -r px py x y w h < <(point_on 1)
gnome_input move:$px,$py
"$TESSAL" capture
sleep 1.5
# Space (whole-window mode): inside a window a panel the picture shows would be offered first.
gnome_keys 0x20
sleep 0.3
gnome_input click:$px,$py
sleep 0.5
gnome_keys 0xff0d
folder="$XDG_DATA_HOME/Zelmar/History"
wait_for 10 sh -c "ls '$folder'/*.png" || fail "Return copied nothing: $(tail -n 3 "$WORLD/tessal.log")"
same_as_screen "$(ls "$folder"/*.png | head -n1)" $x $y $w $h
pass "in a capture, Space, a click on the window behind and Return copy exactly its frame"
