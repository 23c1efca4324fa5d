#!/usr/bin/env bash
# Starts that race (autostart and the user at the same moment) leave exactly one resident
# Tessal; the others hand over and exit. A resident killed outright leaves a lock that the next
# start takes over.
source "$(dirname "$0")/world.sh"
world_start 1024x768
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
