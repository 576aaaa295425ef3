#!/usr/bin/env bash
# Text through the X11 CLIPBOARD selection between two processes of the demo program on a
# private Xvfb display: one copies (and serves the selection), the other pastes into a memo.
# Line breaks, accents and characters beyond the basic plane must come through unchanged.
set -u
demo="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run
printf 'first line\nZweite Zeile: \xc3\x84\xc3\xb6\xc3\x9f \xf0\x9f\x98\x80\n\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82' >"$work/in.txt"

timeout 20 xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$demo" "$work" <<'INNER'
demo="$1"; work="$2"
fail() { echo "FAILED: $*"; cat "$work/copy.txt" "$work/paste.txt" 2>/dev/null; kill -KILL "$pid" 2>/dev/null; exit 1; }
"$demo" copy "$work/in.txt" >"$work/copy.txt" 2>&1 &
pid=$!
for _ in $(seq 1 100); do grep -q ready "$work/copy.txt" 2>/dev/null && break; sleep 0.1; done
grep -q ready "$work/copy.txt" || fail "the copying program did not start"
"$demo" paste "$work/out.txt" >"$work/paste.txt" 2>&1 || fail "the pasting program failed"
cmp -s "$work/in.txt" "$work/out.txt" || fail "the pasted text differs: $(od -c "$work/out.txt" | head -5)"
kill -TERM "$pid"
wait "$pid" || fail "the copying program did not end cleanly"
echo "text went through the clipboard unchanged"
INNER
