# A private Wayland desktop for one system test: headless sway (pixman renderer, no input
# devices) with PipeWire, WirePlumber, xdg-desktop-portal and its wlroots backend on a session
# bus of its own, all in a runtime folder of its own. sway refuses to run as root, so a script
# started as root runs itself again as an unprivileged user (nobody) first.
#   source wayland_world.sh; wayland_world_start [WIDTHxHEIGHT]
# Everything is shut down by process id when the script exits.

set -u

source "$(dirname "${BASH_SOURCE[0]}")/world_common.sh"
: "${TESSAL:?TESSAL must name the tessal binary}"
# Messages go to standard output; the session bus's chatter on standard error goes to a log.
trap world_kill_all EXIT

# As root: run this very script again as nobody, in a fresh runtime folder and session bus.
# The test binaries must be readable by that user (they are: the build tree is world-readable).
wayland_world_as_user() {
    [ "$(id -u)" -ne 0 ] && [ -n "${TESSAL_WAYLAND_INNER:-}" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        export TESSAL_WAYLAND_INNER=1
        exec dbus-run-session -- bash "$0" "$@"
    fi
    local base
    base=$(mktemp -d /tmp/tessal-wayland.XXXXXX)
    chmod 755 "$base"
    mkdir -p "$base/run" "$base/home" "$base/bin"
    chown -R 65534:65534 "$base/run" "$base/home"
    chmod 700 "$base/run"
    # The programs under test, where that user can run them whatever the checkout's folder
    # allows, and the script itself with its helpers.
    cp "$TESSAL" "$base/bin/tessal"
    cp "$(dirname "$TESSAL")/tessal-app" "$base/bin/tessal-app"
    [ -n "${TESSAL_WL_POINTER:-}" ] && cp "$TESSAL_WL_POINTER" "$base/bin/tessal-wl-pointer"
    [ -n "${TESSAL_STREAM_PROBE:-}" ] && cp "$TESSAL_STREAM_PROBE" "$base/bin/tessal-stream-probe"
    # One more program a script may name (a benchmark's).
    local extra=""
    [ -n "${TESSAL_WL_EXTRA:-}" ] && cp "$TESSAL_WL_EXTRA" "$base/bin/" &&
        extra=$base/bin/$(basename "$TESSAL_WL_EXTRA")
    cp "$(dirname "$0")"/*.sh "$(dirname "$0")"/*.py "$base/bin/" 2>/dev/null
    cp "$(dirname "${BASH_SOURCE[0]}")"/{wayland_world,kwin_world,gnome_world,world_common,wayland_long_capture}.sh \
        "$(dirname "${BASH_SOURCE[0]}")"/atspi_point.py "$base/bin/"
    # Our desktop entry, for worlds whose compositor grants interfaces by it, and our GNOME Shell
    # extensions as the build made them.
    cp "$(dirname "${BASH_SOURCE[0]}")"/../../resources/local.ostrel.desktop "$base/bin/"
    [ -d "$(dirname "$TESSAL")/generated/gnome-shell" ] &&
        cp -r "$(dirname "$TESSAL")/generated/gnome-shell" "$base/bin/"
    chmod -R a+rX "$base/bin"
    local status=0
    setpriv --reuid=65534 --regid=65534 --clear-groups env -i \
        PATH=/usr/local/bin:/usr/bin:/bin HOME="$base/home" XDG_RUNTIME_DIR="$base/run" \
        XDG_CONFIG_HOME="$base/home/.config" XDG_DATA_HOME="$base/home/.local/share" \
        XDG_CACHE_HOME="$base/home/.cache" LANG=C.UTF-8 LANGUAGE=zh_CN TESSAL_WAYLAND_INNER=1 \
        TESSAL="$base/bin/tessal" TESSAL_WL_POINTER="$base/bin/tessal-wl-pointer" \
        TESSAL_STREAM_PROBE="$base/bin/tessal-stream-probe" \
        TESSAL_WL_EXTRA="$extra" \
        WORLD_BASE="$base" \
        dbus-run-session -- bash "$base/bin/$(basename "$0")" "$@" 2>"$base/bus.log" || status=$?
    [ $status -ne 0 ] && grep -v -E '^dbus-daemon|^$' "$base/bus.log" | tail -n 20
    rm -rf "$base"
    exit $status
}

# wayland_world_start [WIDTHxHEIGHT] [--no-screenshot-portal] [--second-output]
# --second-output adds HEADLESS-2 to the right: 1600 × 1200 pixels at scale 2 (800 × 600).
wayland_world_start() {
    local size=${1:-1280x800}
    local backend=1 outputs=1
    for option in "${@:2}"; do
        [ "$option" = "--no-screenshot-portal" ] && backend=0
        [ "$option" = "--second-output" ] && outputs=2
    done
    export WORLD_WIDTH=${size%x*} WORLD_HEIGHT=${size#*x}
    [ $outputs = 2 ] && WORLD_WIDTH=$((WORLD_WIDTH + 800)) &&
        [ "$WORLD_HEIGHT" -lt 600 ] && WORLD_HEIGHT=600
    export WORLD=$XDG_RUNTIME_DIR
    require sway:sway swaymsg:sway pipewire:pipewire wireplumber:wireplumber grim:grim \
        wtype:wtype wl-paste:wl-clipboard foot:foot identify:imagemagick \
        /usr/libexec/xdg-desktop-portal:xdg-desktop-portal \
        /usr/libexec/xdg-desktop-portal-wlr:xdg-desktop-portal-wlr
    world_pipewire_start
    cat >"$WORLD/sway.conf" <<CONF
output HEADLESS-1 resolution ${size} position 0 0 scale 1
output HEADLESS-2 resolution 1600x1200 position ${size%x*} 0 scale 2
default_border none
default_floating_border none
focus_follows_mouse no
for_window [app_id="probe"] floating enable, resize set 600 400, move position 200 150
CONF
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_HEADLESS_OUTPUTS=$outputs \
        sway -c "$WORLD/sway.conf" >"$WORLD/sway.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 10 sh -c "ls '$XDG_RUNTIME_DIR'/wayland-? >/dev/null 2>&1" || {
        cat "$WORLD/sway.log" >&2
        fail "sway did not start"
    }
    export WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-? | head -n1)")
    # The seat has no keyboard of its own: a client binds one only when the seat has it, so a
    # virtual keyboard that lives as long as the world keeps it there for every later `wtype`
    # (whose own keyboard would otherwise come and go before clients could take its keys).
    wtype -s 100000000 >/dev/null 2>&1 &
    WORLD_PIDS+=($!)
    # The same for the pointer.
    [ -x "${TESSAL_WL_POINTER:-}" ] || fail "TESSAL_WL_POINTER must name the test pointer"
    "$TESSAL_WL_POINTER" "$WORLD_WIDTH" "$WORLD_HEIGHT" hold &
    WORLD_PIDS+=($!)
    export SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n1)
    export XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland
    dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP SWAYSOCK
    if [ $backend = 1 ]; then
        # Screen casts of the first display without asking (a desktop would show a chooser).
        mkdir -p "$XDG_CONFIG_HOME/xdg-desktop-portal-wlr"
        printf '[screencast]\nchooser_type=none\noutput_name=HEADLESS-1\n' \
            >"$XDG_CONFIG_HOME/xdg-desktop-portal-wlr/config"
        /usr/libexec/xdg-desktop-portal-wlr >"$WORLD/xdpw.log" 2>&1 &
        WORLD_PIDS+=($!)
        wait_for 5 sh -c "dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.impl.portal.desktop.wlr |
            grep -q true" || fail "xdg-desktop-portal-wlr did not start"
    fi
    # Without the backend, the portal must not find it either (it would start it on demand).
    local portals=/usr/share/xdg-desktop-portal/portals
    [ $backend = 0 ] && portals=$WORLD/no-portals && mkdir -p "$portals"
    XDG_DESKTOP_PORTAL_DIR=$portals /usr/libexec/xdg-desktop-portal >"$WORLD/xdp.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 10 sh -c "dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.portal.Desktop | grep -q true" ||
        fail "xdg-desktop-portal did not start"
    # xdg-desktop-portal exports the Screenshot interface only when an Access backend is
    # installed beside the wlroots one; without it every portal capture fails much later.
    if [ $backend = 1 ]; then
        wait_for 5 sh -c "dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop \
            /org/freedesktop/portal/desktop org.freedesktop.DBus.Introspectable.Introspect |
            grep -q 'org.freedesktop.portal.Screenshot'" ||
            fail "the portal offers no org.freedesktop.portal.Screenshot: it needs an Access" \
                "backend (package xdg-desktop-portal-gtk) beside xdg-desktop-portal-wlr; run make deps"
    fi
}

# The pointer of the world, in layout coordinates.
pointer() { "$TESSAL_WL_POINTER" "$WORLD_WIDTH" "$WORLD_HEIGHT" "$@"; }

tessal_start() {
    world_key_sheet_seen
    "$TESSAL" >"$WORLD/tessal.log" 2>&1 &
    TESSAL_PID=$!
    WORLD_PIDS+=($TESSAL_PID)
    wait_for 10 test -S "$XDG_RUNTIME_DIR/local.ostrel.sock" || {
        cat "$WORLD/tessal.log" >&2
        fail "tessal did not start"
    }
}

# lists_windows FRAMES [--ids]: `tessal capture --list-windows` prints exactly the windows of
# FRAMES ("NAME X Y W H PID" lines: layout points, y down, front to back), as display-local
# rectangles with y up; with --ids, NAME is the id it must print.
lists_windows() {
    "$TESSAL" capture --list-windows >"$WORLD/list.txt" 2>&1 || fail "--list-windows: $(cat "$WORLD/list.txt")"
    local name x y w h pid id
    while read -r name x y w h pid; do
        id='[0-9]*'
        [ "${2:-}" = --ids ] && id=$name
        grep -q "  window $x,$((WORLD_HEIGHT - y - h)),$w,$h id $id pid $pid\$" "$WORLD/list.txt" ||
            fail "$name ($x $y $w $h, pid $pid) is not listed: $(cat "$WORLD/list.txt")"
    done <"$1"
    [ "$(grep -c ' window ' "$WORLD/list.txt")" -eq "$(wc -l <"$1")" ] ||
        fail "listed: $(cat "$WORLD/list.txt")"
}

# Whether a window of ours titled like $1 is mapped (sway's tree).
sway_has_window() { swaymsg -t get_tree | grep -q -E "\"(name|app_id)\": \"$1\""; }
# Waits (5 s) for an image/png on the clipboard and writes it to $1; fails without one.
clipboard_png() {
    wait_for 5 sh -c "wl-paste --type image/png > '$1' && test -s '$1'" ||
        fail "no image/png on the clipboard${2:+ $2}"
}
