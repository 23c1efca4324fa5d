# What both test worlds (X11: world.sh, Wayland: wayland_world.sh) share: reporting, waiting,
# and shutting down what a world started, by process id, when the script exits.

WORLD_PIDS=()

fail() {
    echo "FAIL: $*"
    exit 1
}
pass() { echo "PASS: $*"; }

# Polls a command until it succeeds or `seconds` pass.
wait_for() {
    local seconds=$1
    shift
    local end=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.1
    done
}

world_kill_all() {
    local pid
    for pid in "${WORLD_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    sleep 0.2
    for pid in "${WORLD_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
}

# require TOOL:PACKAGE ...: fails at once, naming the Debian package, when a program a world
# needs is missing (a test that fails for a missing package must say which).
require() {
    local entry missing=()
    for entry in "$@"; do
        command -v "${entry%%:*}" >/dev/null || missing+=("${entry%%:*} (package ${entry#*:})")
    done
    [ ${#missing[@]} -eq 0 ] || fail "not installed: ${missing[*]}; run make deps"
}
