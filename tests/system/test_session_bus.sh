#!/usr/bin/env bash
# Tessal on the session bus: D-Bus activation starts it, the object introspects, CaptureFull and
# CaptureRegion write the X server's own pixels and signal CaptureDone, bad paths and regions are
# refused with nothing written, a still to a file while a capture is on screen is refused and the
# capture is unharmed; `tessal capture` goes over the bus, and over the socket without one.
source "$(dirname "$0")/world.sh"
world_start 1600x900
require gdbus:libglib2.0-bin
world_defaults '{"childRegionPermissionGuideShown": true}'
world_key_sheet_seen
fixture_start --window 100,120,500,300,bus-a,#d04040 --window 700,200,400,400,bus-b,#40a060

call() {
    gdbus call --session --dest local.ostrel --object-path /local/ostrel \
        --method "local.ostrel.Tessal.$1" "${@:2}"
}
owner_pid() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.GetConnectionUnixProcessID local.ostrel 2>/dev/null |
        sed -E 's/^\(uint32 ([0-9]+),\)$/\1/'
}
owned() { [ -n "$(owner_pid)" ]; }

# Activation: the session bus reads $XDG_DATA_HOME/dbus-1/services, as installed packages do
# /usr/share/dbus-1/services.
mkdir -p "$XDG_DATA_HOME/dbus-1/services"
printf '[D-BUS Service]\nName=local.ostrel\nExec=%s\n' "$TESSAL" \
    >"$XDG_DATA_HOME/dbus-1/services/local.ostrel.service"
gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.ReloadConfig >/dev/null
overlay_shown() { xdotool search --onlyvisible --name '^Tessal · 截图$' >/dev/null 2>&1; }
overlay_gone() { ! overlay_shown; }
call Capture 0.0 >/dev/null || fail "activation did not start Tessal"
pid=$(owner_pid)
[ -n "$pid" ] || fail "nobody owns local.ostrel after the call"
WORLD_PIDS+=($pid)
wait_for 10 test -S "$XDG_RUNTIME_DIR/local.ostrel.sock" || fail "the activated Tessal has no socket"
wait_for 10 overlay_shown || fail "the activated Tessal shows no capture"
xdotool key Escape
wait_for 5 overlay_gone || fail "Escape did not end the capture"
pass "D-Bus activation starts Tessal and Capture reaches it"

intro=$(gdbus introspect --session --dest local.ostrel --object-path /local/ostrel)
for member in 'Capture(in  d delay' 'CaptureFull(in  i display' 'CaptureRegion(in  d x' \
    'LastRegion()' 'OpenHistory()' 'OpenPreferences()' 'CaptureDone(s path)' 'CaptureCancelled()'; do
    grep -qF "$member" <<<"$intro" || fail "introspection lacks $member: $intro"
done
pass "the object introspects with every method and signal"

import -window root "$WORLD/reference.png"
gdbus monitor --session --dest local.ostrel >"$WORLD/monitor.txt" 2>&1 &
monitor=$!
WORLD_PIDS+=($monitor)
sleep 0.5
call CaptureRegion 120.0 500.0 200.0 100.0 "$WORLD/region.png" || fail "CaptureRegion failed"
convert "$WORLD/reference.png" -crop 200x100+120+300 +repage "$WORLD/region-ref.png"
diff=$(compare -metric AE "$WORLD/region.png" "$WORLD/region-ref.png" null: 2>&1)
[ "$diff" = "0" ] || fail "the region differs from the root's pixels in $diff"
call CaptureFull 0 "$WORLD/full.png" || fail "CaptureFull failed"
diff=$(compare -metric AE "$WORLD/full.png" "$WORLD/reference.png" null: 2>&1)
[ "$diff" = "0" ] || fail "the display differs from the root's pixels in $diff"
wait_for 5 grep -q "CaptureDone ('$WORLD/full.png',)" "$WORLD/monitor.txt" ||
    fail "no CaptureDone: $(cat "$WORLD/monitor.txt")"
grep -q "CaptureDone ('$WORLD/region.png',)" "$WORLD/monitor.txt" || fail "no CaptureDone for the region"
pass "CaptureRegion and CaptureFull write the root's pixels and signal CaptureDone"

# refused ERROR-TEXT METHOD ARGS...: the call fails with the text, and nothing is written.
refused() {
    local expected=$1
    shift
    if call "$@" >"$WORLD/out" 2>&1; then fail "$* was accepted"; fi
    grep -q "$expected" "$WORLD/out" || fail "$*: $(cat "$WORLD/out")"
}
refused "绝对路径" CaptureFull 0 "relative.png"
[ ! -e relative.png ] && [ ! -e "$HOME/relative.png" ] || fail "a relative path was written"
refused "文件夹不存在" CaptureFull 0 "$WORLD/missing/x.png"
refused "no display 5" CaptureFull 5 "$WORLD/none.png"
refused "InvalidArgs" CaptureRegion 5000.0 5000.0 10.0 10.0 "$WORLD/off.png"
refused "InvalidArgs" CaptureRegion 10.0 10.0 -- -5.0 10.0 "$WORLD/negative.png"
refused "InvalidArgs" Capture -- -1.0
refused "InvalidArgs" Capture 1e9
for f in none off negative; do [ ! -e "$WORLD/$f.png" ] || fail "$f.png was written"; done
pass "relative or unwritable paths, missing displays, bad regions and delays are refused"

# A capture on screen: a still to a file is refused with a clear error and leaves it alone;
# Escape still ends it and Tessal goes on answering.
call Capture 0.0 >/dev/null || fail "Capture failed"
wait_for 5 overlay_shown || fail "no overlay"
refused "local.ostrel.Error.Busy" CaptureFull 0 "$WORLD/busy.png"
refused "正在截图" CaptureRegion 10.0 10.0 50.0 50.0 "$WORLD/busy.png"
[ ! -e "$WORLD/busy.png" ] || fail "a still was written while a capture was on screen"
overlay_shown || fail "the capture on screen was disturbed"
xdotool key Escape
wait_for 5 overlay_gone || fail "Escape did not end the capture"
wait_for 5 grep -q "CaptureCancelled ()" "$WORLD/monitor.txt" || fail "no CaptureCancelled"
kill -0 "$pid" || fail "Tessal ended"
call CaptureFull 0 "$WORLD/after.png" || fail "Tessal no longer answers"
pass "a still to a file is refused while a capture is on screen, which stays usable"

"$TESSAL" capture || fail "tessal capture over the bus failed"
wait_for 5 overlay_shown || fail "no overlay from tessal capture"
xdotool key Escape
wait_for 5 overlay_gone || fail "Escape did not end the capture"
env -u DBUS_SESSION_BUS_ADDRESS "$TESSAL" capture || fail "tessal capture over the socket failed"
wait_for 5 overlay_shown || fail "no overlay from the socket"
xdotool key Escape
pass "tessal capture reaches Tessal over the bus, and over the socket without one"

call OpenPreferences >/dev/null || fail "OpenPreferences failed"
wait_for 10 xdotool search --onlyvisible --name '^Tessal · 截图偏好$' || fail "OpenPreferences showed no window"
call OpenHistory >/dev/null || fail "OpenHistory failed"
wait_for 10 xdotool search --onlyvisible --name '^Tessal · 截图历史$' || fail "OpenHistory showed no window"
pass "OpenPreferences and OpenHistory open their windows"

# A Tessal started by `tessal capture` (which asked the bus first and found nobody) owns the name.
rm -f "$XDG_DATA_HOME/dbus-1/services/local.ostrel.service"
gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.ReloadConfig >/dev/null
kill "$pid"
wait_for 5 sh -c '! kill -0 '"$pid" || fail "Tessal did not quit"
"$TESSAL" capture >"$WORLD/second.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 owned || fail "a Tessal started by tessal capture does not own the name"
wait_for 10 overlay_shown || fail "no capture from the Tessal started by tessal capture"
xdotool key Escape
pass "a Tessal started by tessal capture takes the name"
