#!/usr/bin/env bash
# Starts that race (autostart and the user at the same moment) leave exactly one resident
# Tessal; the others hand over and exit. A resident killed outright leaves a lock that the next
# start takes over.
source "$(dirname "$0")/world.sh"
world_start 1024x768
require dunst:dunst dunstctl:dunst dbus-monitor:dbus-bin
world_defaults '{"childRegionPermissionGuideShown": true}'

pids=()
for i in 1 2 3; do
    "$TESSAL" >"$WORLD/start$i.log" 2>&1 &
    pids+=($!)
    WORLD_PIDS+=($!)
done
wait_for 15 test -S "$XDG_RUNTIME_DIR/local.ostrel.sock" || fail "no instance started"
sleep 2
alive=()
for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive+=("$pid"); done
[ ${#alive[@]} -eq 1 ] || fail "${#alive[@]} resident copies after three racing starts"
for pid in "${pids[@]}"; do
    [ "$pid" = "${alive[0]}" ] && continue
    wait "$pid" || fail "a start that handed over exited with $?: $(cat "$WORLD"/start*.log)"
done
timeout 5 "$TESSAL" capture || fail "the resident does not answer"
sleep 0.5
xdotool key Escape
pass "three racing starts leave one resident; the others hand over"

# A plain later start says that Tessal runs, as a desktop notification, and exits 0. Where the
# notification server cannot start (here: the bus would start it without a display) the reason
# goes to standard error instead.
dbus-update-activation-environment DISPLAY=:none || fail "cannot change the bus's environment"
# The starts that handed over above have had one started already.
server=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.Notifications 2>/dev/null |
    awk '{print $2}')
[ -n "$server" ] && kill "$server"
wait_for 5 sh -c '! dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications | grep -q true' ||
    fail "the notification server did not go"
status=0
timeout 10 "$TESSAL" 2>"$WORLD/again.err" || status=$?
[ $status -eq 0 ] || fail "a later start without a notification server exited $status"
grep -q "already running.*no notification shown: the notification service failed" \
    "$WORLD/again.err" || fail "no word on standard error: $(cat "$WORLD/again.err")"
dbus-update-activation-environment DISPLAY="$DISPLAY"

dbus-monitor --session "interface='org.freedesktop.Notifications',member='Notify'" \
    >"$WORLD/notify.log" 2>&1 &
WORLD_PIDS+=($!)
dunst >"$WORLD/dunst.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 dunstctl is-paused || fail "dunst did not start"
status=0
timeout 10 "$TESSAL" 2>"$WORLD/again.err" || status=$?
[ $status -eq 0 ] || fail "a later start exited $status"
grep -q "already running" "$WORLD/again.err" || fail "no word on standard error"
grep -q "no notification shown" "$WORLD/again.err" && fail "shown, yet: $(cat "$WORLD/again.err")"
wait_for 5 grep -q "Tessal 正在运行" "$WORLD/notify.log" || fail "no notification: $(cat "$WORLD/notify.log")"
grep -q "按 Ctrl+1 截图" "$WORLD/notify.log" || fail "the notification does not say how to capture"
pass "a later start is answered with a notification, or a word on standard error without one"

kill -9 "${alive[0]}"
wait "${alive[0]}" 2>/dev/null
"$TESSAL" >"$WORLD/restart.log" 2>&1 &
restart=$!
WORLD_PIDS+=($restart)
sleep 1
wait_for 10 timeout 2 "$TESSAL" capture || fail "no resident after a crash: $(cat "$WORLD/restart.log")"
kill -0 "$restart" || fail "the new start did not stay resident: $(cat "$WORLD/restart.log")"
pass "the lock of a killed resident is taken over by the next start"

# No runtime folder, and the private fallback squatted by another user: a clear refusal at
# once, never a request handed to that user's socket.
mkdir -p "$WORLD/tmp/local.ostrel-$(id -u)"
chown 65534:65534 "$WORLD/tmp/local.ostrel-$(id -u)"
status=0
env -u XDG_RUNTIME_DIR TMPDIR="$WORLD/tmp" timeout 5 "$TESSAL" capture 2>"$WORLD/squat.err" ||
    status=$?
[ $status -eq 1 ] || fail "a squatted socket folder gave exit $status: $(cat "$WORLD/squat.err")"
grep -q "belongs to another user" "$WORLD/squat.err" ||
    fail "no clear message: $(cat "$WORLD/squat.err")"
pass "a socket folder owned by another user is refused with a clear message"
