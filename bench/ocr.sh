#!/usr/bin/env bash
# Text recognition figures: accuracy over the benchmark set (bench/ocr_set.sh), speed of a
# 1920 × 1080 desktop screenshot (mixed scripts, and all traditional) and of a 1000 × 5000
# capture (first after start and warm), the
# worker's peak memory, and the resident program's memory before and after a recognition.
set -u
build=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/system/world.sh"
set_dir=$(mktemp -d /tmp/tessal-ocr-set.XXXXXX)
bash "$here/ocr_set.sh" "$set_dir" >/dev/null 2>&1
echo "== text recognition: accuracy (bench/ocr_set.sh: rendered in two faces, three sizes, light and dark; real windows) =="
/usr/bin/python3 "$here/ocr_accuracy.py" "$TESSAL" "$set_dir"

world_start 1920x1080
world_defaults '{"childRegionPermissionGuideShown": true}'
"$TESSAL_FIXTURE" --text 60,60,dialog-a "$here/ocr/simplified.txt" >/dev/null 2>&1 &
WORLD_PIDS+=($!)
"$TESSAL_FIXTURE" --text 700,80,dialog-b "$here/ocr/traditional.txt" "Noto Sans CJK TC" >/dev/null 2>&1 &
WORLD_PIDS+=($!)
"$TESSAL_FIXTURE" --text 1250,100,dialog-c "$here/ocr/english.txt" >/dev/null 2>&1 &
WORLD_PIDS+=($!)
"$TESSAL_FIXTURE" --document 400,500,doc >/dev/null 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --name '^doc$'
sleep 1
import -window root "$WORLD/desktop.png"
# The same desktop with every dialog in traditional Chinese, where the second reader has most work.
"$TESSAL_FIXTURE" --text 60,60,dialog-d "$here/ocr/traditional.txt" "Noto Sans CJK TC" >/dev/null 2>&1 &
WORLD_PIDS+=($!)
"$TESSAL_FIXTURE" --text 1250,100,dialog-e "$here/ocr/traditional.txt" "Noto Sans CJK TC" >/dev/null 2>&1 &
WORLD_PIDS+=($!)
wait_for 10 xdotool search --name '^dialog-e$'
sleep 1
import -window root "$WORLD/desktop-traditional.png"
QT_QPA_PLATFORM=offscreen "$TESSAL_FIXTURE" --render-text "$WORLD/long.png" "$here/ocr/simplified.txt" --rows 5000 2>/dev/null
convert "$WORLD/long.png" -background white -extent 1000x5000 "$WORLD/long1000.png"
echo "== text recognition: speed through the worker (2 cores) =="
"$(dirname "$TESSAL")/bench/tessal_ocr_bench" "$WORLD/desktop.png" "$WORLD/desktop-traditional.png" \
    "$WORLD/long1000.png" 2>/dev/null |
    sed "s|$WORLD/||"

tessal_start
sleep 1
before=$(grep VmRSS /proc/$TESSAL_PID/status | awk '{print $2}')
xdotool key ctrl+1
sleep 0.6
xdotool mousemove 61 61 mousedown 1 mousemove 300 300 mousemove 420 560 mouseup 1
sleep 0.4
printf 'before' | xclip -selection clipboard
xdotool key shift+c
wait_for 20 sh -c "xclip -selection clipboard -o 2>/dev/null | grep -qv '^before$'"
sleep 1
after=$(grep VmRSS /proc/$TESSAL_PID/status | awk '{print $2}')
echo "== text recognition: resident program RSS $((before / 1024)) MiB before, $((after / 1024)) MiB after a recognition (the models live in the worker) =="
rm -rf "$set_dir"
