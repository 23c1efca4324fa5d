#!/usr/bin/env bash
# Starting in a poor environment: the shortcut held by another client, no tray, no session
# bus, a corrupt settings file. Each gets its fallback and a clear message, never a crash.
source "$(dirname "$0")/world.sh"
world_start 1280x800 --no-tray
fixture_start --window 100,100,300,200,launch-fixture,#ffffff --window 800,100,300,300,launch-pointer,#202020
echo '{"childRegionPermissionGuideShown": true, "captureShortcutLabel": "⌃1",' >"$WORLD/corrupt"
mkdir -p "$XDG_CONFIG_HOME/local.ostrel"
cp "$WORLD/corrupt" "$XDG_CONFIG_HOME/local.ostrel/defaults.json"

"$TESSAL_FIXTURE" --grab-key ctrl+1 --hold >"$WORLD/holder.out" 2>&1 &
holder=$!
WORLD_PIDS+=($holder)
wait_for 5 grep -q grabbed "$WORLD/holder.out" || fail "the holder could not take Ctrl+1"

env -u DBUS_SESSION_BUS_ADDRESS "$TESSAL" >"$WORLD/tessal.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 15 xdotool search --onlyvisible --name '^Tessal$' || fail "no registration alert: $(cat "$WORLD/tessal.log")"
pass "a shortcut held elsewhere is reported at launch"

aside=$(ls "$XDG_CONFIG_HOME/local.ostrel/" | grep 'defaults.json.corrupt-' | head -n1)
[ -n "$aside" ] || fail "the corrupt settings file was not set aside"
cmp -s "$XDG_CONFIG_HOME/local.ostrel/$aside" "$WORLD/corrupt" || fail "set-aside file changed"
grep -q "moved to" "$WORLD/tessal.log" || fail "no message about the settings file"
pass "a corrupt settings file is kept aside and reported"

# Dismiss the alert; the program keeps running without tray and bus.
xdotool search --onlyvisible --name '^Tessal$' windowactivate --sync key Return 2>/dev/null
wait_for 5 sh -c '! xdotool search --onlyvisible --name "^Tessal\$"' || fail "alert did not close"
kill "$holder"
sleep 0.3
xdotool mousemove 950 250
"$TESSAL" capture || fail "no running instance after the alert"
# Accessibility cannot be asked without a bus, so the one-time guide comes up first.
wait_for 10 xdotool search --onlyvisible --name '^Tessal$' || fail "no guide without a session bus: $(cat "$WORLD/tessal.log")"
xdotool search --onlyvisible --name '^Tessal$' windowactivate --sync key Escape 2>/dev/null
# The capture waits for the screen under the guide to be repainted, and the first overlay loads
# its fonts: on a starved machine that takes a few seconds.
wait_for 10 sh -c "import -window root -crop 1x1+250+200 -depth 8 txt:- | sed -n 2p | grep -q '(153,153,153)'" ||
    fail "no overlay after the guide: $(pixel_at 250 200) $(cat "$WORLD/tessal.log")"
pass "captures work without tray and session bus"
