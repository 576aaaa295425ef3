#!/usr/bin/env bash
# Starts the demo program on a private Xvfb server, ends the server under it and expects the
# program to end its session in order (its session-end handling runs) and exit cleanly.
set -u
demo="$1"
. "$(dirname "$0")/smoke_env.sh" Xvfb xvfb-run
xpid="" dpid=""
cleanup() {
  [ -n "$dpid" ] && kill -KILL "$dpid" 2>/dev/null
  [ -n "$xpid" ] && kill -KILL "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; cat "$work/out.txt" 2>/dev/null; exit 1; }

# The server writes its display number to the pipe once it accepts connections.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/displayfd" >/dev/null 2>&1 &
xpid=$!
read -r -t 10 number <"$work/displayfd" || fail "Xvfb did not start"
DISPLAY=":$number" "$demo" lost "$work/ended" >"$work/out.txt" 2>&1 &
dpid=$!
for _ in $(seq 1 100); do grep -q ready "$work/out.txt" 2>/dev/null && break; sleep 0.1; done
grep -q ready "$work/out.txt" || fail "the demo program did not start"
kill -TERM "$xpid"
wait "$xpid" 2>/dev/null
xpid=""
for _ in $(seq 1 100); do kill -0 "$dpid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$dpid" 2>/dev/null && fail "the program still runs after its display went away"
wait "$dpid"
code=$?
dpid=""
[ "$code" -eq 0 ] || fail "exit code $code after the display went away"
[ -f "$work/ended" ] || fail "the session-end handling did not run"
grep -q "connection to the X display was lost" "$work/out.txt" || fail "the loss was not noticed as such"
echo "display lost: the session ended in order"
