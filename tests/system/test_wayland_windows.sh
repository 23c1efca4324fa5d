#!/usr/bin/env bash
# Windows to pick on sway: the compositor's own list (its IPC socket) gives the frames, title
# bar and border included, front to back. Two tiled terminals and a floating one in front: the
# pointer on each in turn proposes exactly that window, a click and Return copy its pixels; a
# window on another workspace is never listed.
set -u
source "$(dirname "$0")/wayland_world.sh"
wayland_world_as_user "$@"
wayland_world_start 1280x800
require python3:python3
swaymsg 'default_border normal 3' >/dev/null

terminal() {
    foot --app-id="$1" -o colors.background="$2" sh -c 'sleep 600' >/dev/null 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 10 sway_has_window "$1" || fail "terminal $1 did not appear"
}
terminal left 5f1e3a
terminal right 1e5f3a
terminal probe 1e3a5f # floating, in front of both (the world's rule)
# Another workspace's window, then back to the first.
swaymsg 'workspace 2' >/dev/null
terminal hidden 3a3a3a
swaymsg 'workspace 1' >/dev/null
pointer move 1275 795
sleep 1

# "x y w h pid" of each shown window, as sway lays it out (title bar above its rectangle).
frames() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("type") in ("con", "floating_con") and n.get("app_id") and n.get("visible"):
        r, d = n["rect"], n["deco_rect"]
        print(n["app_id"], r["x"], r["y"] - d["height"], r["width"], r["height"] + d["height"], n["pid"])
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))'
}
frames >"$WORLD/frames.txt"
grep -q '^hidden' "$WORLD/frames.txt" && fail "sway shows the other workspace's window"
[ "$(wc -l <"$WORLD/frames.txt")" -eq 3 ] || fail "sway shows $(cat "$WORLD/frames.txt")"

# --- the list as the command prints it -----------------------------------------------------
lists_windows "$WORLD/frames.txt"
pass "--list-windows prints sway's windows, frames with their decorations"

# --- each window under the pointer, taken with a click -------------------------------------
grim -o HEADLESS-1 "$WORLD/before.png" || fail "grim failed"
tessal_start
while read -r name x y w h pid; do
    # A point of the window that no other covers: the floating one lies over the tiled ones'
    # inner edges.
    case $name in
        left) px=$((x + 40)) py=$((y + h - 40)) ;;
        right) px=$((x + w - 40)) py=$((y + h - 40)) ;;
        *) px=$((x + w / 2)) py=$((y + h / 2)) ;;
    esac
    "$TESSAL" capture
    wait_for 10 sway_has_window "Tessal · 截图" || fail "no overlay"
    sleep 0.5
    pointer move "$px" "$py"
    sleep 0.3
    # Space: the whole window rather than a panel the image analysis may find inside it.
    wtype -k space
    sleep 0.2
    pointer click "$((px + 1))" "$((py + 1))"
    sleep 0.3
    wtype -k Return
    wait_for 5 sh -c '! swaymsg -t get_tree | grep -q "Tessal · 截图"' || fail "Return left the overlay"
    clipboard_png "$WORLD/$name.png"
    size=$(identify -format %wx%h "$WORLD/$name.png")
    [ "$size" = "${w}x${h}" ] || fail "$name: copied $size, its frame is ${w}x${h}"
    convert "$WORLD/before.png" -crop "${w}x${h}+${x}+${y}" +repage "$WORLD/$name-expected.png"
    diff=$(compare -metric AE "$WORLD/$name.png" "$WORLD/$name-expected.png" null: 2>&1)
    [ "$diff" -lt 50 ] 2>/dev/null || fail "$name: the copy differs from its frame in $diff pixels"
    pointer move 1275 795
    sleep 0.3
done <"$WORLD/frames.txt"
pass "the pointer on each window proposes its frame exactly; a click and Return copy it"
