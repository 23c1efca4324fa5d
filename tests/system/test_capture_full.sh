#!/usr/bin/env bash
# `tessal capture --full` writes exactly the pixels of the root window, on one display and on a
# root split into two monitors; bad requests fail clearly and write nothing.
source "$(dirname "$0")/world.sh"
world_start 1600x900
fixture_start --window 100,120,500,300,full-a,#d04040 --window 700,200,400,400,full-b,#40a060

"$TESSAL" capture --full -o "$WORLD/ours.png" || fail "capture --full failed"
import -window root "$WORLD/reference.png" || fail "import failed"
diff=$(compare -metric AE "$WORLD/ours.png" "$WORLD/reference.png" null: 2>&1)
[ "$diff" = "0" ] || fail "capture differs from the root window in $diff pixels"
[ "$(identify -format %wx%h "$WORLD/ours.png")" = "1600x900" ] || fail "wrong size"
pass "single display equals the root window"

# A region, in points from the display's bottom-left corner: to a file and to standard output.
# 120,500 upwards 200 × 100 is the root's 120,300 downwards.
"$TESSAL" capture --region 120,500,200,100 -o "$WORLD/region.png" || fail "capture --region failed"
"$TESSAL" capture --region 120,500,200,100 -o - >"$WORLD/piped.png" || fail "capture --region -o - failed"
convert "$WORLD/reference.png" -crop 200x100+120+300 +repage "$WORLD/region-ref.png"
for f in region piped; do
    diff=$(compare -metric AE "$WORLD/$f.png" "$WORLD/region-ref.png" null: 2>&1)
    [ "$diff" = "0" ] || fail "the $f region differs from the root's pixels in $diff"
done
# Partly off the display: clipped and said; wholly off: refused with exit 2 and nothing written.
"$TESSAL" capture --region 1500,-50,200,100 -o "$WORLD/clipped.png" 2>"$WORLD/err" ||
    fail "a region partly off the display failed"
grep -q "clipped" "$WORLD/err" || fail "the clipping was not said"
[ "$(identify -format %wx%h "$WORLD/clipped.png")" = "100x50" ] || fail "clipped to the wrong size"
"$TESSAL" capture --region 5000,5000,10,10 -o "$WORLD/off.png" 2>"$WORLD/err"; rc=$?
[ $rc -eq 2 ] && [ ! -e "$WORLD/off.png" ] && grep -q "lies off" "$WORLD/err" || fail "off the display gave $rc"
pass "a region is written to a file or to standard output with the root's pixels; off the display it is clipped or refused"

# Two monitors on one root: display 1 is the right half.
xrandr --setmonitor left 800/211x900/238+0+0 screen >/dev/null
xrandr --setmonitor right 800/211x900/238+800+0 none >/dev/null
sleep 0.5
"$TESSAL" capture --full --display 1 -o "$WORLD/right.png" || fail "capture of display 1 failed"
convert "$WORLD/reference.png" -crop 800x900+800+0 +repage "$WORLD/right-ref.png"
diff=$(compare -metric AE "$WORLD/right.png" "$WORLD/right-ref.png" null: 2>&1)
[ "$diff" = "0" ] || fail "display 1 differs from the right half in $diff pixels"
pass "second monitor equals its part of the root"

# Bad input: no such display, a folder that does not exist, an unknown option, no X server.
"$TESSAL" capture --full --display 5 -o "$WORLD/none.png" 2>"$WORLD/err"; rc=$?
[ $rc -eq 2 ] && [ ! -e "$WORLD/none.png" ] || fail "missing display gave $rc"
"$TESSAL" capture --full -o "$WORLD/missing/dir/x.png" 2>"$WORLD/err"; rc=$?
[ $rc -eq 2 ] && grep -q "无法写入.*文件夹不存在" "$WORLD/err" || fail "unwritable target gave $rc"
mkdir "$WORLD/locked" && chmod 500 "$WORLD/locked"
if [ "$(id -u)" -ne 0 ]; then
    "$TESSAL" capture --full -o "$WORLD/locked/x.png" 2>"$WORLD/err"; rc=$?
    [ $rc -eq 2 ] && [ -z "$(ls -A "$WORLD/locked")" ] || fail "read-only folder gave $rc"
fi
"$TESSAL" capture --bogus 2>"$WORLD/err"; rc=$?
[ $rc -eq 2 ] && grep -q "用法：tessal capture" "$WORLD/err" || fail "unknown option gave $rc"
DISPLAY=:9999 "$TESSAL" capture --full -o "$WORLD/x.png" 2>"$WORLD/err"; rc=$?
[ $rc -eq 3 ] && grep -q "no X display" "$WORLD/err" || fail "no display gave $rc"
pass "bad requests fail clearly"
