#!/usr/bin/env bash
# Builds the text recognition benchmark set in DIR: PNG + expected TXT pairs.
#   rendered-*: the lines of bench/ocr/{simplified,traditional,english}.txt drawn by Qt in two
#     Noto CJK faces, at 13, 16 and 20 px, dark on light and light on dark (36 images);
#   real-*: windows of real programs grabbed from an X server (Tessal's own preferences and
#     long-capture windows, with their texts known; gtk3-demo's list when it is installed).
set -u
dir=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
for script in simplified traditional english; do
    faces=("Noto Sans CJK SC" "Noto Sans Mono CJK SC")
    [ $script = traditional ] && faces=("Noto Sans CJK TC" "Noto Sans Mono CJK TC")
    for f in 0 1; do
        for size in 13 16 20; do
            for theme in light dark; do
                name="$dir/rendered-$script-$f-$size-$theme"
                extra=()
                [ $theme = dark ] && extra=(--dark)
                QT_QPA_PLATFORM=offscreen "$TESSAL_FIXTURE" --render-text "$name.png" \
                    "$here/ocr/$script.txt" "${faces[$f]}" --size $size "${extra[@]}" 2>/dev/null
                mv "$name.png.txt" "$name.txt"
            done
        done
    done
done

# Real windows, grabbed from an X server.
(
    source "$here/../tests/system/world.sh"
    world_start 1280x800 --no-tray
    world_defaults '{"childRegionPermissionGuideShown": true}'
    tessal_start
    grab() {  # grab NAME TITLE
        local id
        wait_for 10 xdotool search --name "$2" || return
        sleep 0.5
        id=$(xdotool search --name "$2" | head -n1)
        import -window "$id" "$dir/real-$1.png"
    }
    "$TESSAL" preferences
    grab preferences "截图偏好"
    printf '%s\n' "复制后退出截图" "截图时显示指针" "截图后默认工具 移动选区" "保留截图历史" \
        "历史数量上限 20 张" "历史仅存本机，容量上限 200 MB；关闭后停止记录，已有的历史保留，可在截" \
        "图历史中删除或清空。" "语言 跟随系统" "下次启动 Tessal 时生效" >"$dir/real-preferences.txt"
    "$TESSAL" history
    grab history "截图历史"
    printf '%s\n' "0 张 · 未开启记录，可在截图偏好中开启 开启记录" "复制 保存… 继续标注 贴图 删除 清空历史" \
        >"$dir/real-history.txt"
    "$TESSAL_FIXTURE" --document 100,100,ocr-document >/dev/null 2>&1 &
    WORLD_PIDS+=($!)
    if wait_for 10 xdotool search --name '^ocr-document$'; then
        sleep 0.5
        id=$(xdotool search --name '^ocr-document$' | head -n1)
        import -window "$id" -crop 600x400+0+40 +repage "$dir/real-document.png"
        for i in $(seq 0 19); do echo "Row $i · unique label $((i * 7919 % 10007))"; done \
            >"$dir/real-document.txt"
    fi
)
