#!/usr/bin/env bash
# `tessal regions` end to end on an image made with ImageMagick: a white panel with a blue card
# inside, found smallest first in screen-local points (y up); at half the points per pixel the
# card falls under the size limit; bad requests exit with status 2.
set -u
: "${TESSAL:?TESSAL must name the tessal binary}"
fail() { echo "FAIL: $*" >&2; exit 1; }
dir=$(mktemp -d /tmp/tessal-regions.XXXXXX)
trap 'rm -rf "$dir"' EXIT
export QT_QPA_PLATFORM=offscreen
# Its messages follow the user's language; the ones checked here are the Chinese ones.
export LANGUAGE=zh_CN

convert -size 800x600 xc:'#e6e9ef' -fill white -draw 'rectangle 100,100 399,299' \
    -fill '#3070c0' -draw 'rectangle 150,150 299,249' "$dir/screen.png" || fail "no test image"
out=$("$TESSAL" regions "$dir/screen.png" --window 0,0,800,600) || fail "regions failed"
[ "$out" = "$(printf '149,349,152,102\n99,299,302,202')" ] || fail "found: $out"
echo "PASS: the card and the panel, smallest first, grown by a point"

out=$("$TESSAL" regions "$dir/screen.png" --window 0,0,400,300 --screen 400,300) || fail "scaled regions failed"
[ "$out" = "49,149,152,102" ] || fail "at scale 2 found: $out"
echo "PASS: a 2x screenshot is read in points and the small card is left out"

"$TESSAL" regions "$dir/screen.png" 2>/dev/null; [ $? -eq 2 ] || fail "no --window accepted"
"$TESSAL" regions "$dir/missing.png" --window 0,0,10,10 2>"$dir/err"; [ $? -eq 2 ] || fail "missing image accepted"
grep -q '文件不存在' "$dir/err" || fail "missing image: $(cat "$dir/err")"
"$TESSAL" regions "$dir/screen.png" --window 0,0,x,10 2>/dev/null; [ $? -eq 2 ] || fail "bad window accepted"
echo "PASS: bad requests exit with status 2 and say why"
