#!/usr/bin/env bash
# The windows Tessal offers are the fixture windows' frames (decorations included), front to
# back, in screen-local points (origin bottom-left, y up), with their owner's pid.
source "$(dirname "$0")/world.sh"
world_start 1600x900
fixture_start --window 100,120,500,300,list-a --window 300,250,400,350,list-b

# frame_of TITLE -> "x,y,w,h" screen-local, from the X server's own answers.
frame_of() {
    local id info x y w h ext l r t b
    id=$(xdotool search --name "^$1\$" | head -n1)
    info=$(xwininfo -id "$id")
    x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
    w=$(echo "$info" | sed -n 's/.*Width: *//p')
    h=$(echo "$info" | sed -n 's/.*Height: *//p')
    ext=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/ //g')
    IFS=, read -r l r t b <<<"${ext:-0,0,0,0}"
    echo "$((x - l)),$((900 - (y - t) - (h + t + b))),$((w + l + r)),$((h + t + b))"
}

check_order() {
    local out expected_first=$1 expected_second=$2 lines
    out=$("$TESSAL" capture --list-windows) || fail "--list-windows failed"
    echo "$out"
    lines=$(echo "$out" | grep '^  window')
    [ "$(echo "$lines" | wc -l)" -eq 2 ] || fail "expected 2 windows, got: $lines"
    [ "$(echo "$lines" | sed -n 1p | awk '{print $2}')" = "$(frame_of "$expected_first")" ] ||
        fail "front window is not $expected_first ($(frame_of "$expected_first"))"
    [ "$(echo "$lines" | sed -n 2p | awk '{print $2}')" = "$(frame_of "$expected_second")" ] ||
        fail "second window is not $expected_second ($(frame_of "$expected_second"))"
    local pid
    pid=$(xdotool search --name "^list-a\$" getwindowpid)
    echo "$lines" | grep -q "pid $pid\$" || fail "owner pid $pid not reported"
}

check_order list-b list-a
pass "frames and order match the X server"

xdotool search --name '^list-a$' windowactivate --sync
sleep 0.3
check_order list-a list-b
pass "raising a window brings it to the front of the list"

# A minimised window is not offered.
xdotool search --name '^list-a$' windowminimize --sync
sleep 0.3
out=$("$TESSAL" capture --list-windows)
[ "$(echo "$out" | grep -c '^  window')" -eq 1 ] || fail "minimised window still listed: $out"
pass "minimised windows are left out"
