#!/bin/bash
# `tessal capture` hands the capture to the running Tessal's socket without starting the
# program, and says what became of it: taken, refused while a capture is being taken, or taken
# but not answered (then it must not ask again: the capture would run twice). Where nothing
# took it, the program itself runs. A listener of this script's own plays the running Tessal.
set -u
tessal=$1
runtime=$(mktemp -d)
chmod 700 "$runtime"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
# Without a display, the program (when it runs) stops at once and says so.
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
socket=$runtime/local.ostrel.sock
failures=0

# Answers one connection as told: a line, "silent" (reads and keeps the connection open) or
# "hangup" (reads and closes).
listen_once() {
  python3 - "$socket" "$1" <<'PY' &
import os, socket, sys, time
path, how = sys.argv[1], sys.argv[2]
s = socket.socket(socket.AF_UNIX)
s.bind(path + ".new")
s.listen(1)
os.rename(path + ".new", path)
c, _ = s.accept()
c.recv(100)
if how == "silent":
    time.sleep(10)
elif how != "hangup":
    c.sendall((how + "\n").encode())
c.close()
PY
  for _ in $(seq 50); do [ -S "$socket" ] && return; sleep 0.1; done
}

# name | listener | expected status | expected text on standard error ("" = nothing)
cases=(
  "taken|ok|0|"
  "answered otherwise (a later version)|done differently|0|"
  "refused while capturing|busy 正在截图：请先完成或取消当前的截图|3|tessal: 正在截图：请先完成或取消当前的截图"
  "taken but not answered|silent|3|the request was sent but the running Tessal has not answered"
  "hung up unanswered|hangup|1|no X display can be reached"
  "nobody listening||1|no X display can be reached"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name how status expected <<<"$entry"
  rm -f "$socket"
  [ -n "$how" ] && listen_once "$how"
  start=$(date +%s%N)
  output=$("$tessal" capture 2>&1)
  got=$?
  ms=$((($(date +%s%N) - start) / 1000000))
  if [ "$got" != "$status" ] || { [ -z "$expected" ] && [ -n "$output" ]; } ||
     [[ "$output" != *"$expected"* ]]; then
    echo "FAIL $name: status $got (want $status) after $ms ms, want \"$expected\" in:"
    echo "$output" | head -n 5
    failures=$((failures + 1))
  fi
  # Unanswered, the command gives up within its time box instead of waiting for the listener.
  if [ "$how" = silent ] && [ "$ms" -gt 6000 ]; then
    echo "FAIL $name: took $ms ms"
    failures=$((failures + 1))
  fi
  kill $(jobs -p) 2>/dev/null
  wait 2>/dev/null
done
[ "$failures" = 0 ] && echo "all launcher cases passed"
exit "$failures"
