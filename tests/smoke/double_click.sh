#!/usr/bin/env bash
# A document window on a private Xvfb display: a double click on a word, sent through the X
# server's test extension, selects that word.
set -u
demo="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run python3
printf 'Alpha bravo charlie delta\r\nSecond line\r\n' >"$work/words.txt"

timeout 40 xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$demo" "$work" "$here" <<'INNER'
demo="$1"; work="$2"; here="$3"
fail() { echo "FAILED: $*"; cat "$work/out.txt"; kill -KILL "$pid" 2>/dev/null; exit 1; }
"$demo" "$work/words.txt" 1 >"$work/out.txt" 2>&1 &
pid=$!
for _ in $(seq 1 100); do grep -q '^ready' "$work/out.txt" 2>/dev/null && break; kill -0 "$pid" 2>/dev/null || fail "the program ended early"; sleep 0.1; done
read -r _ x y < <(grep '^ready' "$work/out.txt")
[ -n "${x:-}" ] || fail "the program did not get ready"
python3 "$here/x_double_click.py" "$x" "$y" || fail "the double click could not be sent"
wait "$pid" || fail "nothing was selected"
grep -q '^selected: bravo$' "$work/out.txt" || fail "the double click did not select the word"
echo "a double click selected the word"
INNER
