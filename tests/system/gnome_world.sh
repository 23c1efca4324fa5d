# A private GNOME desktop for one system test: headless GNOME Shell (its own virtual monitor, no
# X11) with xdg-desktop-portal and its GNOME backend, on a session bus and a system bus of its
# own, run as an unprivileged user as the sway world is (wayland_world.sh).
#   source gnome_world.sh; wayland_world_as_user "$@"; gnome_world_start [WIDTHxHEIGHT] [--pipewire]
# --pipewire starts PipeWire first, for screen casts.
# The headless shell has no keyboard: gnome_keys types into it through Mutter's RemoteDesktop.

# A script needing it is skipped (77) where GNOME Shell is not installed.
command -v gnome-shell >/dev/null || {
    echo "SKIP: gnome-shell is not installed"
    exit 77
}
source "$(dirname "${BASH_SOURCE[0]}")/wayland_world.sh"

gnome_world_start() {
    local size=${1:-1600x900}
    export WORLD_WIDTH=${size%x*} WORLD_HEIGHT=${size#*x}
    export WORLD=$XDG_RUNTIME_DIR
    [ "${2:-}" = --pipewire ] && require pipewire:pipewire wireplumber:wireplumber && world_pipewire_start
    require gnome-shell:gnome-shell gdbus:libglib2.0-bin dbus-monitor:dbus-bin \
        dbus-update-activation-environment:dbus-bin identify:imagemagick \
        /usr/libexec/xdg-desktop-portal:xdg-desktop-portal \
        /usr/libexec/xdg-desktop-portal-gnome:xdg-desktop-portal-gnome \
        /usr/libexec/xdg-desktop-portal-gtk:xdg-desktop-portal-gtk
    # The shell looks logind up on the system bus; a bus of its own, where nobody answers, will do.
    cat >"$WORLD/system-bus.conf" <<CONF
<busconfig><type>system</type><listen>unix:path=$WORLD/system_bus_socket</listen>
<auth>EXTERNAL</auth><policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>
CONF
    dbus-daemon --config-file="$WORLD/system-bus.conf" --nofork --nopidfile \
        >"$WORLD/system-bus.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 5 test -S "$WORLD/system_bus_socket" || fail "the system bus did not start"
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$WORLD/system_bus_socket
    export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland
    export WAYLAND_DISPLAY=gnome-world
    local attempt
    for attempt in 1 2 3; do
        gnome_shell_start "$size" && break
        [ $attempt = 3 ] && fail "GNOME Shell hung at start three times"
        echo "GNOME Shell hung at start: started again"
    done
    wait_for 10 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "no Wayland socket"
    # Without gnome-session nobody tells D-Bus activation where the desktop is: the portal's
    # GNOME backend would die at start, and the portal would offer no Screenshot.
    dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE
    # The portal's backends are started here, not left to D-Bus activation, which gives up after
    # 25 s: a backend slow to start (a busy machine, a shell slow to answer it) would leave the
    # portal without it for good. Started first, they may take what time they need.
    local backend
    for backend in gnome gtk; do
        setpriv --pdeathsig KILL /usr/libexec/xdg-desktop-portal-$backend \
            >"$WORLD/xdp-$backend.log" 2>&1 &
        WORLD_PIDS+=($!)
    done
    for backend in gnome gtk; do
        wait_for 90 gnome_bus_has org.freedesktop.impl.portal.desktop.$backend || {
            tail -n 20 "$WORLD/xdp-$backend.log" >&2
            fail "the portal's $backend backend did not start"
        }
    done
    /usr/libexec/xdg-desktop-portal >"$WORLD/xdp.log" 2>&1 &
    WORLD_PIDS+=($!)
    # Where the document portal cannot mount its FUSE folder (no /dev/fuse here) the portal may
    # first wait out a bus timeout for it: seen taking 40 s in CI.
    wait_for 90 gnome_bus_has org.freedesktop.portal.Desktop || {
        tail -n 20 "$WORLD/xdp.log" >&2
        fail "xdg-desktop-portal did not start"
    }
    wait_for 10 sh -c "gdbus introspect --session --dest org.freedesktop.portal.Desktop \
        --object-path /org/freedesktop/portal/desktop | grep -q org.freedesktop.portal.Screenshot" ||
        fail "the portal offers no org.freedesktop.portal.Screenshot (xdg-desktop-portal-gnome)"
}

# Starts the shell on a virtual monitor of WIDTHxHEIGHT; returns 1, the shell killed, where it hung
# at start. GNOME_SHELL_OPTIONS: what a benchmark adds, word by word. The shell goes with the
# script however it ends: one left behind keeps every descriptor it inherited (a build lock, say).
gnome_shell_start() {
    setpriv --pdeathsig KILL gnome-shell --wayland --headless --no-x11 --virtual-monitor "$1" \
        --wayland-display "$WAYLAND_DISPLAY" ${GNOME_SHELL_OPTIONS:-} >"$WORLD/gnome-shell.log" 2>&1 &
    local shell=$!
    WORLD_PIDS+=($shell)
    wait_for 30 gnome_bus_has org.gnome.Mutter.RemoteDesktop || {
        tail -n 20 "$WORLD/gnome-shell.log" >&2
        fail "gnome-shell did not start"
    }
    # At start the shell forks to run the input-method daemon (ibus-daemon) and runs script code
    # of its own in the child before exec. Now and then that child deadlocks on a lock another of
    # the shell's threads held at the fork, and the shell waits for it for ever: it then answers
    # no Wayland client, and the portal's backends wait with it. The spawn is over once the shell
    # logs it (here it fails: no ibus-daemon is installed). A child of the shell that is still the
    # shell is the hung one.
    wait_for 20 grep -q ibus-daemon "$WORLD/gnome-shell.log" && return 0
    [ "$(ps --ppid $shell -o comm= | grep -c gnome-shell)" -eq 0 ] && return 0
    pkill -KILL -P $shell
    kill -KILL $shell
    wait $shell 2>/dev/null
    wait_for 10 sh -c "! gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.gnome.Mutter.RemoteDesktop | grep -q true"
    return 1
}

# Our GNOME Shell extension (its GNOME 43–44 form, as the build made it and wayland_world_as_user
# copied it) where GNOME finds a user's extensions: called before the Shell starts, which looks
# there only then. gnome_extension_enable then enables it and waits for its answer on the bus.
GNOME_EXTENSION=tessal-windows-legacy@local.ostrel
gnome_extension_install() {
    local built
    built=$(dirname "$TESSAL")/gnome-shell/$GNOME_EXTENSION
    [ -f "$built/extension.js" ] || fail "no extension at $built"
    mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
    cp -r "$built" "$XDG_DATA_HOME/gnome-shell/extensions/"
}
gnome_extension_enable() {
    gnome-extensions enable $GNOME_EXTENSION >"$WORLD/enable.log" 2>&1 ||
        fail "enable: $(cat "$WORLD/enable.log")"
    wait_for 10 gnome_bus_has local.ostrel.ShellWindows ||
        fail "our GNOME Shell extension did not start: $(gnome-extensions info $GNOME_EXTENSION 2>&1 | tail -n 3)"
}

gnome_bus_has() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" | grep -q true
}

# The answer to "Allow Applications to Take Screenshots?" kept in the permission store, as the
# dialog keeps it (programs outside a sandbox have an empty application id): yes, no, or unset.
gnome_screenshot_permission() {
    gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.GetPermission \
        screenshot screenshot '' 2>/dev/null | grep -o -E "yes|no" | head -n1
}
gnome_grant_screenshots() {
    gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.SetPermission \
        screenshot true screenshot '' "['yes']" >/dev/null
}

# gnome_keys KEYSYM...: presses and releases each key in turn (X keysyms: 0xff53 Right, 0xff0d
# Return, 0xff1b Escape). gnome_input STEP...: keys and the pointer, as gnome_input.py says.
gnome_keys() { gnome_input "${@/#/key:}"; }
gnome_input() { python3 "$(dirname "${BASH_SOURCE[0]}")/gnome_input.py" "$WORLD_WIDTH" "$WORLD_HEIGHT" "$@"; }
