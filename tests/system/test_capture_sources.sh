#!/usr/bin/env bash
# `tessal capture` from a window (by its listed number, the active one, the one under the
# pointer) writes the X server's pixels of its frame and --print-geometry names what was taken;
# --clipboard leaves the PNG with the running Tessal (started when none runs) for xclip once the
# command has exited; an interactive capture opens with --region selected, and
# --accept-on-select copies the first selection made without Return.
source "$(dirname "$0")/world.sh"
world_start 1600x900
world_defaults '{"childRegionPermissionGuideShown": true}'
fixture_start --window 100,120,500,300,src-a,#d04040 --window 700,200,400,400,src-b,#40a060

# same FILE CROP: the image equals that part of the root as it is now.
same() {
    import -window root "$WORLD/root.png"
    convert "$WORLD/root.png" -crop "$2" +repage "$WORLD/ref.png"
    diff=$(compare -metric AE "$1" "$WORLD/ref.png" null: 2>&1)
    [ "$diff" = "0" ] || fail "$1 differs from the root's $2 in $diff pixels"
}
# Frame of a window: root crop and display-local rectangle (y up on the 900-high display).
read -r ax ay aw ah <<<"$(window_frame src-a)"
read -r bx by bw bh <<<"$(window_frame src-b)"
a_crop="${aw}x${ah}+$ax+$ay" a_rect="$ax,$((900 - ay - ah)),$aw,$ah"
b_crop="${bw}x${bh}+$bx+$by"

id=$("$TESSAL" capture --list-windows | grep "^  window $a_rect id " | awk '{print $4}')
[ -n "$id" ] || fail "src-a ($a_rect) is not listed with an id: $("$TESSAL" capture --list-windows)"
"$TESSAL" capture --window "$id" -o "$WORLD/a.png" --print-geometry >"$WORLD/geometry" ||
    fail "--window $id failed"
same "$WORLD/a.png" "$a_crop"
[ "$(cat "$WORLD/geometry")" = "--display 0 --region $a_rect" ] ||
    fail "--print-geometry said $(cat "$WORLD/geometry"), expected $a_rect"
xdotool mousemove $((bx + 50)) $((by + 60))
"$TESSAL" capture --window-under-pointer -o - >"$WORLD/b.png" || fail "--window-under-pointer failed"
same "$WORLD/b.png" "$b_crop"
xdotool search --name '^src-a$' windowactivate --sync
sleep 0.3
"$TESSAL" capture --active-window -o "$WORLD/active.png" || fail "--active-window failed"
same "$WORLD/active.png" "$a_crop"
"$TESSAL" capture --window 12345 -o "$WORLD/none.png" 2>"$WORLD/err"; rc=$?
[ $rc -eq 2 ] && [ ! -e "$WORLD/none.png" ] && grep -q "没有编号为 12345 的窗口" "$WORLD/err" ||
    fail "an unknown window gave $rc: $(cat "$WORLD/err")"
pass "windows by number, under the pointer and active are their frames' root pixels"

# Without a running Tessal the command starts one to hold the clipboard.
lock="$XDG_RUNTIME_DIR/local.ostrel.sock.lock"
"$TESSAL" capture --region 120,500,200,100 --clipboard -o "$WORLD/region.png" ||
    fail "--clipboard without a running Tessal failed"
WORLD_PIDS+=($(head -n1 "$lock"))
clipboard_png "$WORLD/clip.png"
same "$WORLD/clip.png" 200x100+120+300
cmp -s "$WORLD/clip.png" "$WORLD/region.png" || fail "the clipboard and the file differ"
pass "--clipboard is readable after the command exited (Tessal started to hold it)"

overlay_shown() { xdotool search --onlyvisible --name '^Tessal · 截图$' >/dev/null 2>&1; }
overlay_gone() { ! overlay_shown; }
import -window root "$WORLD/before.png"
"$TESSAL" capture --region 150,450,100,80 || fail "interactive --region failed"
wait_for 10 overlay_shown || fail "no capture for --region"
sleep 0.5
xdotool key Return
wait_for 5 overlay_gone || fail "Return did not end the capture"
wait_for 5 sh -c "xclip -selection clipboard -t image/png -o >'$WORLD/sel.png' &&
    [ \"\$(identify -format %wx%h '$WORLD/sel.png')\" = 100x80 ]" || fail "the given region was not copied"
convert "$WORLD/before.png" -crop 100x80+150+370 +repage "$WORLD/sel-ref.png"
diff=$(compare -metric AE "$WORLD/sel.png" "$WORLD/sel-ref.png" null: 2>&1)
[ "$diff" = "0" ] || fail "the selection differs from the screen in $diff pixels"
"$TESSAL" capture --accept-on-select || fail "--accept-on-select failed"
wait_for 10 overlay_shown || fail "no capture for --accept-on-select"
sleep 0.5
xdotool mousemove 300 200 mousedown 1 mousemove 350 230 mousemove 400 260 mouseup 1
wait_for 5 overlay_gone || fail "the selection was not taken without Return"
wait_for 5 sh -c "xclip -selection clipboard -t image/png -o >'$WORLD/drag.png' &&
    [ \"\$(identify -format %wx%h '$WORLD/drag.png')\" = 100x60 ]" ||
    fail "the dragged selection was not copied: $(identify -format %wx%h "$WORLD/drag.png")"
pass "an interactive capture opens with --region selected; --accept-on-select takes the first selection"

# To the running Tessal: the clipboard, a pin over the place it was taken (a one-pixel frame
# around it) and the editor, all at once.
xclip -selection clipboard -i /dev/null
"$TESSAL" capture --region 150,450,100,80 --clipboard --pin --edit || fail "--clipboard --pin --edit failed"
clipboard_png "$WORLD/held.png"
cmp -s "$WORLD/held.png" "$WORLD/sel.png" || fail "the running Tessal holds another picture"
wait_for 5 xdotool search --onlyvisible --name '^Tessal · 贴图$' >/dev/null || fail "no pin"
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name '^Tessal · 贴图$' | head -n1)")"
[ "$X,$Y,$WIDTH,$HEIGHT" = "149,369,102,82" ] || fail "pin at $X,$Y,$WIDTH,$HEIGHT"
wait_for 5 xdotool search --onlyvisible --name '截图 100 × 80 px' >/dev/null ||
    fail "no editor for the still"
pass "--clipboard, --pin and --edit reach the running Tessal"

# --pointer: the cursor's pixels where the pointer is, over the flat red of src-a; none without.
xdotool mousemove $((ax + 150)) $((ay + 150))
sleep 0.3
region="$((ax + 130)),$((900 - ay - 170)),40,40"
"$TESSAL" capture --region "$region" --pointer -o "$WORLD/pointer.png" || fail "--pointer failed"
"$TESSAL" capture --region "$region" -o "$WORLD/nopointer.png" || fail "capture without --pointer failed"
not_red() { convert "$1" -fill black -opaque 'rgb(208,64,64)' -fill white +opaque black -format '%[fx:mean*w*h]' info:; }
with=$(not_red "$WORLD/pointer.png") without=$(not_red "$WORLD/nopointer.png")
[ "${without%.*}" -eq 0 ] || fail "$without pixels other than the window's without --pointer"
[ "${with%.*}" -gt 20 ] || fail "only $with pointer pixels with --pointer"
[ "$(image_pixel "$WORLD/pointer.png" 21 21)" != "208,64,64" ] || fail "the pointer is not at its place"
pass "--pointer draws the cursor at the pointer's place"
