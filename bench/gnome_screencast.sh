#!/usr/bin/env bash
# Long capture's frame stream on the headless GNOME world, through GNOME's own screen cast over
# PipeWire (what Tessal uses on GNOME): the stream probe reads the whole 1600 × 900 display for
# 10 s while a terminal prints lines without pause, and once while nothing moves. Prints the
# frames a second that reached the stream's buffer in each case (the display draws at most 60);
# and the time from the stream's start to its first frame (session, PipeWire, one picture: what
# a frozen still through the screen cast would cost), median of 5, and whether a cast's picture
# shows the display as it was (it does not: GNOME's sharing indicator is in it), beside a whole capture
# through the desktop portal's Screenshot (`tessal capture --full -o`), the path stills take,
# and `tessal --version` for the cost of starting the program.
# Usage: bench/gnome_screencast.sh BUILD_DIR
set -u
if [ -z "${TESSAL_WAYLAND_INNER:-}" ]; then
    build=$(cd "${1:-build}" && pwd -P)
    export TESSAL=$build/tessal TESSAL_STREAM_PROBE=$build/tests/tessal-stream-probe
    export TESSAL_WL_POINTER=$build/tests/tessal-wl-pointer
fi
here=$(dirname "$0")
if [ -f "$here/gnome_world.sh" ]; then source "$here/gnome_world.sh"
else source "$here/../tests/system/gnome_world.sh"; fi
wayland_world_as_user "$@"
gnome_world_start 1600x900 --pipewire
gnome_keys 0xff1b  # out of the overview the shell starts in
rate() {  # frames a second after the first second of a 10 s run
    "$TESSAL_STREAM_PROBE" 1 1600 900 10 "$WORLD/last.png" >"$WORLD/probe.out" 2>&1
    awk '/^frame/ && $2 >= 1 { n++ } END { printf "%.1f", n / 9 }' "$WORLD/probe.out"
}
gnome_grant_screenshots
# What the display shows before any cast, then a cast's picture of it: GNOME puts its
# screen-sharing indicator up as a cast starts (and keeps it at least 5 s), so a cast's frames show
# a top bar the user never saw. Compared on the top bar's right quarter, away from the clock,
# once the indicator that typing Escape raised is gone.
sleep 6
"$TESSAL" capture --full -o "$WORLD/before.png" 2>"$WORLD/before.err"
[ -s "$WORLD/before.png" ] || fail "no screenshot through the portal: $(cat "$WORLD/before.err")"
"$TESSAL_STREAM_PROBE" 1 1600 900 0.5 "$WORLD/cast.png" >"$WORLD/cast.out" 2>&1
[ -s "$WORLD/cast.png" ] || fail "no frame from the screen cast: $(cat "$WORLD/cast.out")"
indicator=$(compare -metric AE -fuzz 2% "$WORLD/before.png[400x28+1200+0]" \
    "$WORLD/cast.png[400x28+1200+0]" null: 2>&1)
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for i in 1 2 3 4 5; do
    "$TESSAL_STREAM_PROBE" 1 1600 900 1.5 "$WORLD/first.png" 2>/dev/null |
        awk '/^frame/ { printf "%.0f\n", $2 * 1000; exit }'
done | median >"$WORLD/first"
for i in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$TESSAL" capture --full -o "$WORLD/portal.png" 2>/dev/null
    echo $((($(date +%s%N) - start) / 1000000))
done | median >"$WORLD/portal"
for i in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$TESSAL" --version >/dev/null 2>&1
    echo $((($(date +%s%N) - start) / 1000000))
done | median >"$WORLD/bare"
echo "== GNOME, 1600 × 900: one picture of the display =="
echo "screen cast, stream start to first frame: $(cat "$WORLD/first") ms (median of 5)"
echo "top bar pixels (right quarter) a cast's frame shows otherwise than the display before it:" \
    "$indicator (GNOME's screen-sharing indicator; 0 would mean none)"
echo "portal Screenshot, whole tessal capture --full -o: $(cat "$WORLD/portal") ms (median of 5;" \
    "tessal --version alone: $(cat "$WORLD/bare") ms)"
echo "== GNOME screen cast, 1600 × 900: frames a second reaching the stream =="
echo "still screen: $(rate)"
foot sh -c 'i=0; while :; do i=$((i + 1)); echo "line $i $(seq $i $((i + 30)) | tr "\n" " ")"; done' \
    >/dev/null 2>&1 &
WORLD_PIDS+=($!)
sleep 2
echo "a terminal printing without pause: $(rate)"
