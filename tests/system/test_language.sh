#!/usr/bin/env bash
# The interface follows the desktop's language: under an English locale the tray menu, the
# capture toolbar (names and tooltips) and an alert read in English, under a Taiwanese one in
# traditional Chinese; keys read Ctrl+1, not symbols.
source "$(dirname "$0")/world.sh"
here=$(dirname "$0")
world_start 1280x800
world_defaults '{"childRegionPermissionGuideShown": true}'
dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null || fail "cannot enable accessibility"
fixture_start --window 100,80,700,500,language-backdrop,#30a060

tray_icon_centre() {
    local trayer id
    for trayer in $(xdotool search --class trayer); do
        id=$(xwininfo -tree -id "$trayer" | sed -n 's/^ *\(0x[0-9a-f]*\) "[^"]*": ("tessal" "tessal").*/\1/p' | head -n1)
        [ -n "$id" ] || continue
        xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
            /Width/ {w=$NF} /Height/ {h=$NF} END {print x + int(w / 2), y + int(h / 2)}'
        return 0
    done
    return 1
}
on_screen() { wait_for "${2:-10}" "$here/atspi_point.py" "$TESSAL_PID" "$1" >/dev/null; }

# check LANG CAPTURE_ITEM QUIT_ITEM ALERT_TEXT COPY COPY_TIP CAPTURE_TITLE
check() {
    LANG=$1 tessal_start
    wait_for 10 tray_icon_centre || fail "$1: no tray icon"
    # Qt's tray menu is not in the accessibility tree: its texts are read off the screen.
    xdotool mousemove $(tray_icon_centre)
    sleep 0.3
    xdotool click 3
    sleep 1
    import -window root -crop 640x480+640+320 "$WORLD/menu.png"
    "$TESSAL" ocr "$WORLD/menu.png" | tr -d ' ' >"$WORLD/menu.txt"
    grep -qxF "$(echo "$2" | tr -d ' ')" "$WORLD/menu.txt" ||
        fail "$1: the tray menu has no \"$2\": $(tr '\n' '|' <"$WORLD/menu.txt")"
    grep -qF "$(echo "$3" | tr -d ' ')" "$WORLD/menu.txt" ||
        fail "$1: the tray menu has no \"$3\": $(tr '\n' '|' <"$WORLD/menu.txt")"
    xdotool key Escape
    pass "$1: the tray menu reads \"$2\", \"$3\""

    timeout 5 "$TESSAL" capture --last-region || fail "$1: capture --last-region failed"
    on_screen "$4" || fail "$1: no alert saying \"$4\""
    xdotool search --onlyvisible --name '^Tessal$' windowactivate --sync 2>/dev/null
    xdotool key Return
    wait_for 5 sh -c '! xdotool search --onlyvisible --name "^Tessal\$"' || fail "$1: the alert stayed"
    pass "$1: the alert reads \"$4\""

    sleep 0.5
    xdotool key ctrl+1
    # Compared as text: xdotool's patterns do not match every title's bytes.
    wait_for 10 sh -c "xdotool search --onlyvisible --name Tessal getwindowname %@ |
        grep -qxF '$7'" ||
        fail "$1: no capture titled \"$7\": $(xdotool search --onlyvisible --name . getwindowname %@ | tr '\n' '|')"
    sleep 0.5
    xdotool mousemove 210 160 mousedown 1 mousemove 300 220 mousemove 410 290 mouseup 1
    on_screen "$5" || fail "$1: the toolbar has no \"$5\""
    tip=$("$here/atspi_point.py" "$TESSAL_PID" "$5" --description)
    [ "$tip" = "$6" ] || fail "$1: the tooltip of \"$5\" is \"$tip\", not \"$6\""
    xdotool key Escape
    pass "$1: the toolbar's \"$5\" says \"$6\""
    kill "$TESSAL_PID"
    wait "$TESSAL_PID" 2>/dev/null
    wait_for 5 sh -c "! test -S '$XDG_RUNTIME_DIR/local.ostrel.sock'" || true
}

# The world asks for simplified Chinese through LANGUAGE; these starts ask through LANG.
unset LANGUAGE
check en_US.UTF-8 "Take Screenshot  Ctrl+1" "Quit Tessal" "Cannot Repeat the Last Region" \
    "Copy" "Copy · Ctrl+C" "Tessal · Screenshot"
# Items that recognition reads reliably in each script.
check zh_TW.UTF-8 "開機時啟動" "截圖歷史紀錄" "無法重複上次區域" "複製" "複製 · Ctrl+C" \
    "Tessal · 截圖"
check zh_CN.UTF-8 "重复上次区域" "更新日志" "无法重复上次区域" "复制" "复制 · Ctrl+C" \
    "Tessal · 截图"
