#!/usr/bin/env bash
# Long capture on GNOME as a user takes it: a terminal we did not write (foot, 240 numbered lines
# of scrollback) maximized, a region chosen inside it in a capture, "长截图", "自动滚动" until it
# stops at the end by itself, Return. GNOME places every window itself (below its top bar, say)
# and lets no client place one: the capture's panels must still stand beside the region, not over
# it, and the wheel must reach the terminal through them. The picture copied (kept in the
# history, which holds exactly the clipboard's bytes) holds every row of the document between
# the region's first and its last once, in order, as GNOME's screenshots showed them.
# Then the same through the desktop portal (as where GNOME's own services are refused us, and as
# on KDE): its "远程桌面" dialog answered with remote interaction allowed, the frames come over
# the portal's session and the wheel turns through it; this time with Tessal's GNOME Shell
# extension enabled, so that the source is the terminal's window and GNOME says which window is
# in front (our own, which takes the capture's keys).
# Skipped (77) where GNOME Shell is not installed (gnome_world.sh).
set -u
source "$(dirname "$0")/gnome_world.sh"
wayland_world_as_user "$@"
# Our GNOME Shell extension, enabled for the second pass only.
gnome_extension_install
gnome_world_start 1600x900 --pipewire
require foot:foot python3:python3 /usr/libexec/at-spi-bus-launcher:at-spi2-core
here=$(dirname "$0")
source "$here/wayland_long_capture.sh"
export QT_LOGGING_RULES="tessal.longcapture.info=true"
gnome_grant_screenshots
gnome_keys 0xff1b  # out of the overview
dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null || fail "no accessibility bus"
mkdir -p "$XDG_CONFIG_HOME/local.ostrel"
echo '{"historyEnabled": true}' >"$XDG_CONFIG_HOME/local.ostrel/defaults.json"

foot --maximized -o cursor.blink=no -o colors.background=ffffff -o colors.foreground=202020 \
    -o scrollback.lines=10000 -o scrollback.indicator-position=none \
    sh -c 'for i in $(seq 1 240); do echo "line $i:" $(seq $i 7 $((i + 140))); done; sleep 600' \
    >/dev/null 2>&1 &
WORLD_PIDS+=($!)
sleep 3
to_the_top() { gnome_input scroll:1100,450,-100 move:1590,890; }

# The region (layout points) and the document as GNOME's screenshots show it there, screen after
# overlapping screen (five notches, fifteen lines, apart) down to its end.
X=200 Y=150 W=600 H=400
region_shot() {
    "$TESSAL" capture --full -o "$WORLD/full.png" 2>"$WORLD/full.err" ||
        fail "screenshot: $(cat "$WORLD/full.err")"
    convert "$WORLD/full.png" -crop "${W}x$H+$X+$Y" +repage "$1"
}
settled_region_shot() {
    region_shot "$1"
    for _ in $(seq 10); do
        region_shot "$1.again"
        cmp -s "$1" "$1.again" && return
        mv "$1.again" "$1"
    done
}
to_the_top
shots=()
for i in $(seq 0 40); do
    settled_region_shot "$WORLD/shot-$i.png"
    [ $i -gt 0 ] && cmp -s "$WORLD/shot-$i.png" "$WORLD/shot-$((i - 1)).png" && break
    shots+=("$WORLD/shot-$i.png")
    gnome_input scroll:1100,450,5 move:1590,890
done
printf '%s\n' "${shots[@]}" >"$WORLD/reference"
[ ${#shots[@]} -gt 5 ] || fail "the terminal scrolled through ${#shots[@]} screens only"
to_the_top

# long_capture LABEL [DIALOG_PID]: the capture above, start to Return; with the portal's backend
# DIALOG_PID, its dialog is answered first.
long_capture() {
    local label=$1 dialog=${2:-}
    tessal_start
    "$TESSAL" capture
    sleep 1.5
    gnome_input drag:$X,$Y,$((X + W)),$((Y + H))
    # The capture's own window covers the display, so its toolbar's places are the pointer's.
    wait_for 10 sh -c "'$here/atspi_point.py' $TESSAL_PID 长截图 >'$WORLD/at'" ||
        fail "no \"长截图\" on screen"
    at=$(cat "$WORLD/at")
    gnome_input click:${at/ /,}
    if [ -n "$dialog" ]; then
        wait_for 15 "$here/atspi_point.py" "$dialog" 允许远程交互 --role "check box" ||
            fail "$label: no \"远程桌面\" dialog"
        "$here/atspi_point.py" "$dialog" 允许远程交互 --role "check box" --press &&
            sleep 0.5 &&
            "$here/atspi_point.py" "$dialog" "分享(_S) 分享(S)" --role "push button" --press ||
            fail "$label: the dialog could not be answered"
    fi
    status_is "$W × $H px" || fail "$label: no first frame: $(tail -n 5 "$WORLD/tessal.log")"
    grep -q "the desktop put our panels" "$WORLD/tessal.log" && grep "the desktop put our panels" "$WORLD/tessal.log"
    # Where GNOME put the panels is not where Qt believes them: pressed through their accessible action.
    "$here/atspi_point.py" $TESSAL_PID 自动滚动 --press || fail "\"自动滚动\" could not be pressed"
    status_is "画面未变化，自动滚动已停止。可手动继续，或直接复制。" 90 || {
        for status in "已切换应用，自动滚动停止。" "目标区域被遮挡，自动滚动停止。" \
            "无法向原窗口发送滚动，自动滚动停止；仍可手动滚动。" "自动向下滚动中；空格停止，Enter 复制。"; do
            status_is "$status" 1 && fail "$label: automatic scrolling did not reach the end: $status"
        done
        fail "$label: automatic scrolling did not stop at the end: $(tail -n 5 "$WORLD/tessal.log")"
    }
    # (Read by bench/gnome_long_capture.sh.)
    echo "memory: $(grep -E 'VmRSS|VmHWM' "/proc/$TESSAL_PID/status" | awk '{ printf "%s %d MiB ", $1, $2 / 1024 }')"
    gnome_keys 0xff0d  # Return, to the capture's window, which has the focus
    folder="$XDG_DATA_HOME/Zelmar/History"
    wait_for 10 sh -c "ls '$folder'/*.png" || fail "$label: Return copied nothing: $(tail -n 3 "$WORLD/tessal.log")"
    grep 'long capture closed' "$WORLD/tessal.log" | tail -n1
    cp "$(ls "$folder"/*.png | head -n1)" "$WORLD/result.png"
    rm -f "$folder"/*
    rows=$("$here/document_rows.py" "$WORLD/result.png" "$WORLD/reference" 2>&1) || fail "$label: $rows"
    kill "$TESSAL_PID"
    wait "$TESSAL_PID" 2>/dev/null
}

long_capture "GNOME's own services"
pass "automatic scrolling on GNOME went to the end by itself, our panels beside the region; Return copied $rows"

to_the_top
gnome_extension_enable
export TESSAL_SCREENCAST=portal
dbus-monitor --session "type='method_call',interface='org.freedesktop.portal.RemoteDesktop'" \
    >"$WORLD/remote.log" 2>&1 &
WORLD_PIDS+=($!)
long_capture "the portal, with the extension" "$(pgrep -f "^/usr/libexec/xdg-desktop-portal-gnome" | head -n1)"
turns=$(grep -c "member=NotifyPointerAxisDiscrete" "$WORLD/remote.log")
[ "$turns" -ge 10 ] || fail "the wheel turned $turns times through the portal"
pass "through the portal's remote desktop, its dialog answered, with our extension: the wheel turned $turns times through it; Return copied $rows"
