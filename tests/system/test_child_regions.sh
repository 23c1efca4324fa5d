#!/usr/bin/env bash
# Child regions while choosing: a panel of the fixture is highlighted exactly after the commit
# delay, the wheel walks card → panel → window, and the accessibility tree adds an area the
# image alone cannot see.
source "$(dirname "$0")/world.sh"
world_start 1600x900
world_defaults '{"childRegionPermissionGuideShown": true}'
# Accessibility on for the session before any application starts, as the guide would do.
dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null ||
    fail "cannot switch accessibility on"
panels_start 100 100 panels-fixture
tessal_start

id=$(xdotool search --name '^panels-fixture$' | head -n1)
cx=$(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left X: *//p')
cy=$(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left Y: *//p')
border="59,130,246"

xdotool mousemove 1500 850 key ctrl+1
sleep 0.5
# Inside the card (client 80…280 × 80…230).
xdotool mousemove $((cx + 150)) $((cy + 150))
sleep 0.2
xdotool mousemove $((cx + 151)) $((cy + 151))
# The card grown by one point: its left edge at client x 79, the border drawn on it.
wait_for 5 is_colour $((cx + 79)) $((cy + 150)) "$border" || fail "card not highlighted: $(pixel_at $((cx + 79)) $((cy + 150)))"
pass "hovering a card highlights exactly its rectangle"

xdotool click 4  # wheel up: the next larger region, the panel (client 40…460)
wait_for 3 is_colour $((cx + 39)) $((cy + 150)) "$border" || fail "wheel did not walk to the panel"
is_colour $((cx + 79)) $((cy + 150)) "$border" && fail "the card is still highlighted"
xdotool click 4
sleep 0.3
is_colour $((cx + 39)) $((cy + 150)) "$border" && fail "wheel did not walk to the window"
pass "the wheel walks card → panel → window"

# The flat area on the right has no visible border; only the accessibility tree knows it
# (client 500…760 × 40…520). A fresh capture (a wheel choice holds within its window), then
# rest there until the tree's answer comes.
xdotool key Escape
sleep 0.3
xdotool mousemove 1500 850 key ctrl+1
sleep 0.5
xdotool mousemove $((cx + 600)) $((cy + 300))
sleep 0.2
xdotool mousemove $((cx + 601)) $((cy + 300))
wait_for 5 is_colour $((cx + 499)) $((cy + 300)) "$border" ||
    fail "no accessibility region: $(pixel_at $((cx + 499)) $((cy + 300)))"
pass "the accessibility tree adds a region the image cannot find"
xdotool key Escape
