#!/usr/bin/env bash
# Starts the program on a private Xvfb display with RTF documents and checks their window images:
# report.rtf (a heading, mixed formatting, a table, a list and a footnote) has its page painted;
# table_list.rtf (the same without the footnote) has each line where it belongs: the heading in
# its colour, the table's rows with text in both columns, the list items indented.
set -u
exe="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run python3

timeout 50 xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$exe" "$work" "$here" <<'INNER'
exe="$1"; work="$2"; here="$3"
# Shows the file, waits for its window image and runs the checks on it, then ends the program.
show() {
  local file="$1" shot="$work/$2.png"; shift 2
  env -u QV_BACKEND QV_SCREENSHOT="$shot" "$exe" "$here/$file" >"$work/out.txt" 2>&1 &
  local pid=$!
  fail() { echo "FAILED ($file): $*"; cat "$work/out.txt"; kill -KILL "$pid" 2>/dev/null; exit 1; }
  for _ in $(seq 1 150); do [ -s "$shot" ] && break; kill -0 "$pid" 2>/dev/null || fail "the program ended early"; sleep 0.1; done
  [ -s "$shot" ] || fail "the window image was not saved"
  for check in "$@"; do
    python3 "$here/$check" "$shot" || fail "$check finds the page not painted as it should"
  done
  kill -TERM "$pid"
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end after SIGTERM"
}
show report.rtf report png_page_check.py
show table_list.rtf table_list png_page_check.py png_document_check.py
exit 0
INNER
