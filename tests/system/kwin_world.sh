# A private KDE desktop for one system test: headless KWin (its virtual backend, software
# OpenGL) on a session bus of its own, as an unprivileged user, like the sway world whose user
# switch and helpers it shares. Our desktop entry is installed where KWin looks for it, pointing
# at the binary under test, so that KWin grants it org.kde.KWin.ScreenShot2; the test pointer
# (KWin's fake input) moves, clicks and types there.
#   source kwin_world.sh; wayland_world_as_user "$@"; kwin_world_start [WIDTHxHEIGHT]

source "$(dirname "${BASH_SOURCE[0]}")/wayland_world.sh"

kwin_world_start() {
    local size=${1:-1280x800}
    export WORLD_WIDTH=${size%x*} WORLD_HEIGHT=${size#*x}
    export WORLD=$XDG_RUNTIME_DIR
    require identify:imagemagick python3:python3 dbus-send:dbus
    mkdir -p "$WORLD/share/applications"
    sed "s|^Exec=.*|Exec=$(dirname "$TESSAL")/tessal-app|" "$(dirname "$TESSAL")/local.ostrel.desktop" \
        >"$WORLD/share/applications/local.ostrel.desktop"
    # KWin lends its fake input only to programs its desktop entries name: the test pointer's.
    [ -x "${TESSAL_WL_POINTER:-}" ] &&
        printf '[Desktop Entry]\nType=Application\nName=tessal-wl-pointer\nExec=%s\nNoDisplay=true\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n' \
            "$TESSAL_WL_POINTER" >"$WORLD/share/applications/tessal-wl-pointer.desktop"
    export XDG_DATA_DIRS=$WORLD/share:/usr/local/share:/usr/share
    export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true XDG_SESSION_TYPE=wayland
    # The packaged binary carries a file capability that a container refuses; a copy has none.
    cp "$(command -v kwin_wayland)" "$WORLD/kwin_wayland"
    "$WORLD/kwin_wayland" --virtual --width "$WORLD_WIDTH" --height "$WORLD_HEIGHT" \
        --socket wayland-kwin >"$WORLD/kwin.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 20 sh -c "dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.kde.KWin.ScreenShot2 | grep -q true" || {
        cat "$WORLD/kwin.log" >&2
        fail "KWin did not start"
    }
    export WAYLAND_DISPLAY=wayland-kwin QT_QPA_PLATFORM=wayland GDK_BACKEND=wayland
    # The seat has a pointer (and the keys `pointer key CODE` sends) while this one lives.
    if [ -x "${TESSAL_WL_POINTER:-}" ]; then
        "$TESSAL_WL_POINTER" "$WORLD_WIDTH" "$WORLD_HEIGHT" hold >"$WORLD/pointer.log" 2>&1 &
        WORLD_PIDS+=($!)
    fi
}

# kwin_script FILE: runs the KWin script FILE; what it print()s comes back on standard output.
kwin_script() {
    local name=test-$RANDOM$RANDOM mark lines id
    lines=$(wc -l <"$WORLD/kwin.log")
    mark="END-$name"
    { cat "$1"; printf '\nprint("%s");\n' "$mark"; } >"$WORLD/$name.js"
    id=$(dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
        org.kde.kwin.Scripting.loadScript string:"$WORLD/$name.js" string:"$name" |
        awk '/int32/ {print $2}')
    [ -n "$id" ] && [ "$id" -ge 0 ] || fail "KWin did not load $1"
    dbus-send --session --print-reply --dest=org.kde.KWin "/$id" org.kde.kwin.Script.run >/dev/null
    wait_for 5 sh -c "tail -n +$((lines + 1)) '$WORLD/kwin.log' | grep -q 'js: $mark'" ||
        fail "KWin did not run $1"
    dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
        org.kde.kwin.Scripting.unloadScript string:"$name" >/dev/null
    tail -n +$((lines + 1)) "$WORLD/kwin.log" | sed -n 's/^js: //p' | grep -v "^$mark\$"
}
