#!/usr/bin/env bash
# The windows Tessal offers are the fixture windows' frames (decorations included), front to
# back, in screen-local points (origin bottom-left, y up), with their owner's pid.
source "$(dirname "$0")/world.sh"
world_start 1600x900
fixture_start --window 100,120,500,300,list-a --window 300,250,400,350,list-b

# frame_of TITLE -> "x,y,w,h" screen-local (origin bottom-left, y up) on the 900-high display.
frame_of() {
    local x y w h
    read -r x y w h <<<"$(window_frame "$1")"
    echo "$x,$((900 - y - h)),$w,$h"
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

# Windows that name no process (several toolkits set no _NET_WM_PID) still have their owners,
# through the X server's record of their clients: two windows of one program, one of another.
xdotool search --name '^list-a$' windowactivate --sync
fixture_start --window 900,100,300,200,list-c
pid=$(xdotool search --name '^list-b$' getwindowpid)
other=$(xdotool search --name '^list-c$' getwindowpid)
[ "$pid" != "$other" ] || fail "the two fixtures share a process"
for id in $(xdotool search --name '^list-[abc]$'); do xprop -id "$id" -remove _NET_WM_PID; done
sleep 0.3
out=$("$TESSAL" capture --list-windows)
echo "$out"
[ "$(echo "$out" | grep '^  window' | grep -c "pid $pid\$")" -eq 2 ] ||
    fail "no owner for the windows without pid"
echo "$out" | grep '^  window' | grep -q "pid $other\$" || fail "no owner for the other program"
pass "windows without _NET_WM_PID get their owners from the X server"
