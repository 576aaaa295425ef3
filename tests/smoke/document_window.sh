#!/usr/bin/env bash
# Starts the program on a private Xvfb display with an RTF document (a heading, mixed formatting,
# a table, a list and a footnote), saves its window image and checks that the page is painted:
# the heading in colour, the table's rows in both columns, the list items indented.
set -u
exe="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run python3

timeout 40 xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$exe" "$work" "$here" <<'INNER'
exe="$1"; work="$2"; here="$3"
shot="$work/document.png"
env -u QV_BACKEND QV_SCREENSHOT="$shot" "$exe" "$here/report.rtf" >"$work/out.txt" 2>&1 &
pid=$!
fail() { echo "FAILED: $*"; cat "$work/out.txt"; kill -KILL "$pid" 2>/dev/null; exit 1; }
for _ in $(seq 1 150); do [ -s "$shot" ] && break; kill -0 "$pid" 2>/dev/null || fail "the program ended early"; sleep 0.1; done
[ -s "$shot" ] || fail "the window image was not saved"
python3 "$here/png_page_check.py" "$shot" || fail "the document's page is not painted"
python3 "$here/png_document_check.py" "$shot" || fail "the report's lines are not painted as they should"
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after SIGTERM"
exit 0
INNER
