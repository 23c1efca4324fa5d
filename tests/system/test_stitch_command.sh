#!/usr/bin/env bash
# `tessal stitch` on frames cut from a tall image: one result line per frame, and the written
# image equal to the source; unreadable files and frames of another size are reported.
set -u
: "${TESSAL:?TESSAL must name the tessal binary}"
dir=$(mktemp -d /tmp/tessal-stitch.XXXXXX)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "PASS: $*"; }

# A tall image of rows that all differ: bars of varying length and colour, no fonts needed.
args=()
for i in $(seq 0 74); do
    y=$((i * 20 + 4))
    args+=(-fill "rgb($((i * 37 % 200)),$((i * 91 % 200)),$((255 - i * 53 % 200)))"
        -draw "rectangle $((5 + i * 13 % 40)),$y $((60 + i * 7919 % 230)),$((y + 11))")
done
convert -size 300x1500 xc:white "${args[@]}" "$dir/tall.png" || fail "cannot make the test image"
for offset in 0 120 300 510; do convert "$dir/tall.png" -crop "300x400+0+$offset" +repage "$dir/f$offset.png"; done
out=$(QT_QPA_PLATFORM=offscreen "$TESSAL" stitch -o "$dir/out.png" "$dir/f0.png" "$dir/f120.png" "$dir/f120.png" \
    "$dir/f300.png" "$dir/f510.png") || fail "stitch failed"
[ "$out" = "$(printf 'appended 120\nunchanged\nappended 180\nappended 210')" ] || fail "unexpected results: $out"
convert "$dir/tall.png" -crop 300x910+0+0 +repage "$dir/expected.png"
diff=$(compare -metric AE "$dir/out.png" "$dir/expected.png" null: 2>&1)
[ "$diff" = "0" ] || fail "stitched image differs in $diff pixels"
pass "frames stitch back to the source and each result is printed"

convert "$dir/f0.png" -crop 300x399+0+0 +repage "$dir/short.png"
out=$(QT_QPA_PLATFORM=offscreen "$TESSAL" stitch -o "$dir/out2.png" "$dir/f0.png" "$dir/short.png")
[ "$out" = "unmatched" ] || fail "a frame of another size gave: $out"
QT_QPA_PLATFORM=offscreen "$TESSAL" stitch -o "$dir/out3.png" "$dir/f0.png" "$dir/missing.png" 2>"$dir/err"
rc=$?
[ $rc -eq 2 ] && grep -q "cannot open" "$dir/err" && [ ! -e "$dir/out3.png" ] || fail "unreadable frame gave $rc"
pass "other sizes are unmatched, unreadable files an error with status 2"
