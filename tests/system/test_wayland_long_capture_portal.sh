#!/usr/bin/env bash
# Long capture through the desktop portal's screen cast (the path of KDE and other desktops),
# forced on sway with TESSAL_SCREENCAST=portal. The world's xdg-desktop-portal-wlr refuses every
# cast here (on wlroots' software renderer it finds no buffer format it accepts): the control
# window says so, and Escape leaves no window of ours behind.
set -u
source "$(dirname "$0")/wayland_world.sh"
wayland_world_as_user "$@"
wayland_world_start 1280x800
require python3:python3 /usr/libexec/at-spi-bus-launcher:at-spi2-core
here=$(dirname "$0")
source "$here/wayland_long_capture.sh"
export TESSAL_SCREENCAST=portal
accessibility_start
scrollback_document 60

tessal_start
start_long_capture 200 150 600 400 --no-wait
status_is "无法读取窗口内容：桌面没有开始屏幕共享。" 20 ||
    fail "no message of the refusal: $(grep 'screen cast' "$WORLD/tessal.log" | tail -n 2)"
key_to_controls Escape
wait_for 5 sh -c '! swaymsg -t get_tree | grep -q "Tessal · 长截图"' || fail "Escape left a window"
kill -0 $TESSAL_PID || fail "Tessal did not survive the refusal"
pass "the portal's refusal is said in the control window; Escape leaves nothing behind"
