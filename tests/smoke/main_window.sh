#!/usr/bin/env bash
# Starts the program on a private Xvfb display, checks that its main window is there and painted,
# then ends the session with SIGTERM and expects a clean exit.
set -u
exe="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run

timeout 30 xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$exe" "$work" "$here" <<'INNER'
exe="$1"; work="$2"; here="$3"
title="Quorvane Word Processor"
shot="$work/window.png"
env -u QV_BACKEND QV_SCREENSHOT="$shot" "$exe" >"$work/out.txt" 2>&1 &
pid=$!
fail() { echo "FAILED: $*"; cat "$work/out.txt"; kill -KILL "$pid" 2>/dev/null; exit 1; }
for _ in $(seq 1 100); do
  xwininfo -name "$title" >"$work/info.txt" 2>/dev/null && grep -q "IsViewable" "$work/info.txt" && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended early"
  sleep 0.1
done
grep -q "IsViewable" "$work/info.txt" || fail "no viewable top-level window titled \"$title\""
for _ in $(seq 1 100); do [ -s "$shot" ] && break; sleep 0.1; done
[ -s "$shot" ] || fail "the window image was not saved"
if command -v python3 >/dev/null 2>&1; then
  python3 "$here/png_check.py" "$shot" || fail "the window image is not the painted frame"
else
  [ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "not a PNG"
fi
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after SIGTERM"
wait "$pid"
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after SIGTERM"
echo "main window shown, painted and closed cleanly"
INNER
