# A private desktop for one system test: its own Xvfb display (Composite, RandR), openbox,
# a tray host, a session bus with the AT-SPI bus launcher, and XDG folders of its own, so
# tests run side by side and never touch the user's settings. Source it, then call
# world_start; everything is shut down by process id when the script exits.

set -u

source "$(dirname "${BASH_SOURCE[0]}")/world_common.sh"
: "${TESSAL:?TESSAL must name the tessal binary}"
: "${TESSAL_FIXTURE:?TESSAL_FIXTURE must name the fixture binary}"

world_stop() {
    world_kill_all
    [ -n "${WORLD:-}" ] && rm -rf "$WORLD"
}
trap world_stop EXIT

# world_start [WIDTHxHEIGHT] [--no-tray]
world_start() {
    local size=${1:-1920x1080}
    local tray=1
    [ "${2:-}" = "--no-tray" ] && tray=0
    export WORLD=$(mktemp -d /tmp/tessal-world.XXXXXX)
    chmod 700 "$WORLD"
    mkdir -p "$WORLD/run" "$WORLD/config" "$WORLD/data" "$WORLD/cache" "$WORLD/home"
    chmod 700 "$WORLD/run"
    export XDG_RUNTIME_DIR=$WORLD/run XDG_CONFIG_HOME=$WORLD/config XDG_DATA_HOME=$WORLD/data
    export XDG_CACHE_HOME=$WORLD/cache HOME=$WORLD/home
    unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORM QT_SCREEN_SCALE_FACTORS
    # Tessal's interface in simplified Chinese, whatever the host's locale: Qt takes the
    # preferred languages from LANGUAGE (no generated glibc locale needed); the tools keep theirs.
    unset LC_ALL LC_MESSAGES
    export LANGUAGE=zh_CN
    require Xvfb:xvfb xdpyinfo:x11-utils xprop:x11-utils xdotool:xdotool xclip:xclip \
        xrandr:x11-xserver-utils openbox:openbox trayer:trayer import:imagemagick \
        compare:imagemagick dbus-daemon:dbus /usr/libexec/at-spi-bus-launcher:at-spi2-core

    exec 5>"$WORLD/displayfd"
    Xvfb -displayfd 5 -screen 0 "${size}x24" +extension Composite +extension RANDR \
        -nolisten tcp -noreset >"$WORLD/xvfb.log" 2>&1 &
    WORLD_PIDS+=($!)
    exec 5>&-
    wait_for 10 test -s "$WORLD/displayfd" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$WORLD/displayfd")"
    wait_for 10 xdpyinfo || fail "display $DISPLAY does not answer"

    local bus
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 \
        --address="unix:path=$WORLD/run/bus") || fail "no session bus"
    export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | sed -n 1p)
    WORLD_PIDS+=($(echo "$bus" | sed -n 2p))
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORLD/atspi.log" 2>&1 &
    WORLD_PIDS+=($!)

    openbox --sm-disable >"$WORLD/openbox.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        fail "openbox did not start"
    if [ $tray -eq 1 ]; then
        trayer --edge bottom --align right --widthtype request --height 24 \
            >"$WORLD/trayer.log" 2>&1 &
        WORLD_PIDS+=($!)
        wait_for 10 sh -c 'xprop -root | grep -q "_NET_SYSTEM_TRAY_S0\|_NET_SUPPORTED"' || true
        wait_for 10 sh -c 'xdotool search --class trayer' || fail "trayer did not start"
    fi
}

# Writes the defaults file before Tessal starts: JSON object text.
world_defaults() {
    mkdir -p "$XDG_CONFIG_HOME/local.ostrel"
    printf '%s\n' "$1" >"$XDG_CONFIG_HOME/local.ostrel/defaults.json"
}

# Starts the resident Tessal and waits until it answers on its socket.
tessal_start() {
    world_key_sheet_seen
    "$TESSAL" "$@" >"$WORLD/tessal.log" 2>&1 &
    TESSAL_PID=$!
    WORLD_PIDS+=($TESSAL_PID)
    wait_for 15 test -S "$XDG_RUNTIME_DIR/local.ostrel.sock" || fail "Tessal did not start"
}

# The panels fixture (an accessible tree of nested panels) at X,Y with a title.
panels_start() {
    "$TESSAL_FIXTURE" --panels "$1,$2,$3" >>"$WORLD/fixture.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 10 xdotool search --name "^$3\$" || fail "no panels fixture"
    sleep 0.5
}

# Waits for Return's PNG on the clipboard and writes it to FILE.
clipboard_png() {
    wait_for 5 sh -c "xclip -selection clipboard -t image/png -o > '$1' && [ -s '$1' ]" ||
        fail "nothing on the clipboard"
}

# Presses Return and checks the copy: the clipboard's PNG is W×H pixels with COLOUR ("r,g,b")
# at its centre, the screen as it was rather than dimmed.
copy_and_check() {
    xdotool key Return
    clipboard_png "$WORLD/clip.png"
    local size centre
    size=$(identify -format %wx%h "$WORLD/clip.png")
    [ "$size" = "$1x$2" ] || fail "copied $size, expected $1x$2"
    centre=$(image_pixel "$WORLD/clip.png" $(($1 / 2)) $(($2 / 2)))
    [ "$centre" = "$3" ] || fail "the copy is not the screen as it was: $centre at its centre"
}

# Opens fixture windows: fixture_start --window X,Y,W,H,TITLE[,#RRGGBB] ...
fixture_start() {
    "$TESSAL_FIXTURE" "$@" >>"$WORLD/fixture.log" 2>&1 &
    WORLD_PIDS+=($!)
    local title
    for arg in "$@"; do
        case $arg in --window) ;; *) title=$(echo "$arg" | cut -d, -f5)
            wait_for 10 xdotool search --name "^$title\$" || fail "fixture $title did not map" ;;
        esac
    done
    sleep 0.3  # let openbox finish placing and decorating
}

# The colour of one root pixel as "r,g,b" (0–255).
pixel_at() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n '2p' | sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

is_colour() { [ "$(pixel_at "$1" "$2")" = "$3" ]; }

# The colour of one pixel of an image file as "r,g,b".
image_pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
        sed -n '2p' | sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

# window_frame TITLE -> "x y w h": the window's frame (decorations included) in root pixels.
window_frame() {
    local id info="" x y w h l r t b attempt
    # xdotool's search walks the whole tree and gives up when a window vanishes under it (an
    # overlay coming or going): ask again.
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && info=$(xwininfo -id "$id" 2>/dev/null) && break
        sleep 0.2
    done
    [ -n "$info" ] || fail "no window named $1"
    x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
    w=$(echo "$info" | sed -n 's/.*Width: *//p')
    h=$(echo "$info" | sed -n 's/.*Height: *//p')
    IFS=, read -r l r t b <<<"$(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/ //g')"
    echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
}
