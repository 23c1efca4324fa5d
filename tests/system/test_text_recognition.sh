#!/usr/bin/env bash
# Text recognition with the real engine: `tessal ocr` on images drawn at test time with Qt and
# Noto CJK (a simplified Chinese dialog, a traditional Chinese one, an English menu, a capture
# 5000 rows tall, lines up to 2500 px wide, a terminal's close-set rows) within stated character
# error rates, QR codes and a
# barcode drawn by ZXing's writer, its exit codes
# on bad input, and the editor's Shift+C putting a captured window's text on the clipboard.
source "$(dirname "$0")/world.sh"
here=$(cd "$(dirname "$0")" && pwd)
[ -x "$(dirname "$TESSAL")/tessal-ocr-worker" ] || fail "text recognition is not built (make deps fetches what it needs)"
world_start 1280x800
world_defaults '{"childRegionPermissionGuideShown": true}'
render() { QT_QPA_PLATFORM=offscreen "$TESSAL_FIXTURE" --render-text "$@" 2>/dev/null || fail "cannot draw $1"; }
within() {  # within NAME EXPECTED ACTUAL LIMIT
    local rate
    rate=$("$here/cer.py" "$2" "$3")
    awk -v r="$rate" -v l="$4" 'BEGIN { exit !(r <= l) }' ||
        fail "$1: character error rate $rate above $4: $(tr '\n' '|' <"$3")"
    echo "  $1: character error rate $rate (limit $4)"
}

for name in simplified traditional english; do
    family="Noto Sans CJK SC"
    [ $name = traditional ] && family="Noto Sans CJK TC"
    render "$WORLD/$name.png" "$here/ocr/$name.txt" "$family"
    "$TESSAL" ocr "$WORLD/$name.png" >"$WORLD/$name.out" 2>"$WORLD/$name.err" ||
        fail "tessal ocr $name failed: $(cat "$WORLD/$name.err")"
done
within simplified "$here/ocr/simplified.txt" "$WORLD/simplified.out" 0.02
within traditional "$here/ocr/traditional.txt" "$WORLD/traditional.out" 0.04
within english "$here/ocr/english.txt" "$WORLD/english.out" 0.03
render "$WORLD/long.png" "$here/ocr/simplified.txt" --rows 5000
"$TESSAL" ocr "$WORLD/long.png" >"$WORLD/long.out" || fail "tessal ocr on a 5000-row image failed"
within "5000 rows" "$WORLD/long.png.txt" "$WORLD/long.out" 0.02
[ "$(wc -l <"$WORLD/long.out")" -eq "$(wc -l <"$WORLD/long.png.txt")" ] ||
    fail "the 5000-row image gave $(wc -l <"$WORLD/long.out") lines for $(wc -l <"$WORLD/long.png.txt")"
pass "tessal ocr reads simplified and traditional Chinese, English and a tall capture"

# Lines far wider than the reader takes at once (about 1100 to 2500 px of 13 px text).
for name in english simplified; do
    render "$WORLD/long-$name.png" "$here/ocr/long-$name.txt" --size 13
    "$TESSAL" ocr "$WORLD/long-$name.png" >"$WORLD/long-$name.out" ||
        fail "tessal ocr on long $name lines failed"
    within "long $name lines" "$here/ocr/long-$name.txt" "$WORLD/long-$name.out" 0.02
done
grep -q "^Sep 20 2022 report-final.pdf 48213 bytes, Nov 22 2021 notes.txt 912 bytes" \
    "$WORLD/long-english.out" || fail "spaces lost: $(head -c 120 "$WORLD/long-english.out")"
pass "long lines are read whole, without squeezing"

# Rows of 10 px text set without leading, as a terminal sets them: the detector's boxes reach into
# the next row and break a row into pieces grown into each other; each row is still read once,
# whole and alone.
for i in $(seq 1 30); do
    echo "row $((200 + i)): the quick brown fox jumps over the lazy dog $((9000 + 37 * i))"
done >"$WORLD/rows.txt"
render "$WORLD/rows.png" "$WORLD/rows.txt" "DejaVu Sans" --size 10 --dark --tight
"$TESSAL" ocr "$WORLD/rows.png" >"$WORLD/rows.out" || fail "tessal ocr on terminal rows failed"
diff "$WORLD/rows.txt" "$WORLD/rows.out" >"$WORLD/rows.diff" ||
    fail "terminal rows not read one by one: $(head -c 400 "$WORLD/rows.diff")"
pass "a terminal's close-set rows are read each once, whole"

# The models are rewritten when fetched (fewer operations, the same arithmetic): they must read
# the same text as the models as published (boxes and confidences may differ in the last digit).
ocr_dir=${TESSAL_OCR_DIR:?names the recognition directory of the build}
for model in ch_PP-OCRv4_det_infer.onnx ch_PP-OCRv4_rec_infer.onnx; do
    ! cmp -s "$ocr_dir/original/$model" "$ocr_dir/models/$model" ||
        fail "$model in use is the model as published, not the rewritten one"
done
worker=$(dirname "$TESSAL")/tessal-ocr-worker
for name in simplified traditional english long-english long-simplified; do
    "$worker" --models "$ocr_dir/original" --read "$WORLD/$name.png" | cut -f2- >"$WORLD/$name.published" &&
        [ -s "$WORLD/$name.published" ] || fail "the models as published read nothing in $name"
    "$worker" --models "$ocr_dir/models" --read "$WORLD/$name.png" | cut -f2- >"$WORLD/$name.rewritten" &&
        [ -s "$WORLD/$name.rewritten" ] || fail "the rewritten models read nothing in $name"
    cmp -s "$WORLD/$name.published" "$WORLD/$name.rewritten" ||
        fail "the rewritten models read $name differently: $(diff "$WORLD/$name.published" "$WORLD/$name.rewritten" | head -n 6)"
done
pass "the rewritten models read as the models as published"

# Codes: listed first, each on its own line, a link as plain text, binary data as a short note.
QT_QPA_PLATFORM=offscreen "$TESSAL_FIXTURE" --render-codes "$WORLD/codes.png" || fail "cannot draw codes"
"$TESSAL" ocr "$WORLD/codes.png" >"$WORLD/codes.out" 2>"$WORLD/codes.err" ||
    fail "tessal ocr on codes failed: $(cat "$WORLD/codes.err")"
printf '%s\n' "二维码：https://example.com/下载?版本=2&os=linux" "条形码（EAN-13）：4006381333931" \
    "二维码：二进制数据（256 字节）" >"$WORLD/codes.expected"
[ "$(head -n 3 "$WORLD/codes.out")" = "$(cat "$WORLD/codes.expected")" ] ||
    fail "codes: $(tr '\n' '|' <"$WORLD/codes.out")"
sed -n 4p "$WORLD/codes.out" | grep -q "下载安装包" || fail "codes: the caption is missing: $(tr '\n' '|' <"$WORLD/codes.out")"
pass "a QR code and an EAN-13 barcode are listed first, binary data as a note"

printf 'not an image' >"$WORLD/corrupt.png"
"$TESSAL" ocr "$WORLD/corrupt.png" >/dev/null 2>&1
[ $? -eq 2 ] || fail "a corrupt image did not exit with 2"
convert -size 1x1 xc:white "$WORLD/dot.png"
out=$("$TESSAL" ocr "$WORLD/dot.png") || fail "a 1 × 1 image failed"
[ -z "$out" ] || fail "a 1 × 1 image gave text: $out"
"$TESSAL" ocr "$WORLD/simplified.png" --lang fr-FR >/dev/null 2>&1
[ $? -eq 2 ] || fail "an unknown language was not a usage error"
TESSAL_OCR_MODELS=$WORLD/nowhere "$TESSAL" ocr "$WORLD/simplified.png" >/dev/null 2>"$WORLD/nomodels.err"
[ $? -eq 1 ] && grep -q "识别失败：缺少识别字典" "$WORLD/nomodels.err" ||
    fail "missing models: $(cat "$WORLD/nomodels.err")"
pass "bad input: exit 2 for what is not an image or an unknown language, 1 without models, nothing for a dot"

# Shift+C in a capture of a window: its text on the clipboard, the capture closed.
"$TESSAL_FIXTURE" --text 200,150,ocr-dialog "$here/ocr/simplified.txt" >>"$WORLD/fixture.log" 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --name '^ocr-dialog$' || fail "no text fixture"
sleep 0.5
tessal_start
sleep 0.5
id=$(xdotool search --name '^ocr-dialog$' | head -n1)
eval "$(xdotool getwindowgeometry --shell "$id")"
printf 'before' | xclip -selection clipboard
xdotool key ctrl+1
sleep 0.6
xdotool mousemove $((X + 2)) $((Y + 2)) mousedown 1 mousemove $((X + 100)) $((Y + 100)) \
    mousemove $((X + WIDTH - 2)) $((Y + HEIGHT - 2)) mouseup 1
sleep 0.4
xdotool key shift+c
wait_for 20 sh -c "xclip -selection clipboard -o 2>/dev/null | grep -q '保存'" ||
    fail "no recognised text on the clipboard: $(xclip -selection clipboard -o 2>&1 | head -c 200)"
xclip -selection clipboard -o >"$WORLD/clip.txt"
within "Shift+C" "$here/ocr/simplified.txt" "$WORLD/clip.txt" 0.03
sleep 0.5
! xdotool search --onlyvisible --name '^Tessal · 识别文字$' >/dev/null 2>&1 ||
    fail "the recognition window stayed open after copying"
pass "Shift+C in a capture copies the window's text as soon as it is read"
