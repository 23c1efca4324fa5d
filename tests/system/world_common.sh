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

# PipeWire with its session manager, in the world's runtime folder.
world_pipewire_start() {
    pipewire >"$WORLD/pipewire.log" 2>&1 &
    WORLD_PIDS+=($!)
    wait_for 5 test -S "$XDG_RUNTIME_DIR/pipewire-0" || fail "PipeWire did not start"
    wireplumber >"$WORLD/wireplumber.log" 2>&1 &
    WORLD_PIDS+=($!)
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

# The key sheet of a first capture would cover what a test looks at and take its first Escape:
# marked as seen before Tessal starts, unless the test's own defaults decide (or are not JSON).
world_key_sheet_seen() {
    local file=$XDG_CONFIG_HOME/local.ostrel/defaults.json
    mkdir -p "$(dirname "$file")"
    python3 - "$file" <<'PY'
import json, os, sys
path = sys.argv[1]
try:
    values = json.load(open(path)) if os.path.getsize(path) else {}
except FileNotFoundError:
    values = {}
except ValueError:
    sys.exit(0)
if isinstance(values, dict) and "keySheetShown" not in values:
    values["keySheetShown"] = True
    json.dump(values, open(path, "w"))
PY
}
