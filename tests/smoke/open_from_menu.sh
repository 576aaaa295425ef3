#!/usr/bin/env bash
# Opens an RTF document through the menu bar on a private Xvfb display and saves it under another
# name: a click on "File" drops the menu, its mnemonic "o" brings the Open Document dialog, whose
# name box takes the file's path; "File", "a" brings the Save As dialog for the new name. The
# program then closes without a question (nothing was changed), and the copy reads back with the
# document's text.
set -u
exe="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run xdotool xwininfo

timeout 80 xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$exe" "$work" <<'INNER'
exe="$1"; work="$2"
source="$work/letter.rtf"
copy="$work/letter copy.rtf"
text="Opened through the File menu"
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Serif;}}\\f0\\fs24 %s.\\par Second line.\\par}' \
  "$text" >"$source"
"$exe" >"$work/out.txt" 2>&1 &
pid=$!
fail() { echo "FAILED: $*"; cat "$work/out.txt"; kill -KILL "$pid" 2>/dev/null; exit 1; }
# Waits until a viewable window of that title is there (up to 10 s).
await() {
  for _ in $(seq 1 100); do
    xwininfo -name "$1" 2>/dev/null | grep -q "IsViewable" && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended early, waiting for \"$1\""
    sleep 0.1
  done
  fail "no window \"$1\""
}
# Drops the File menu (the first item of the menu bar) and picks an item by its mnemonic.
file_menu() {
  xdotool mousemove 18 10 click 1
  sleep 0.4
  xdotool key "$1"
}
await "Quorvane Word Processor"
sleep 0.3
# A click made while the program is still starting may drop nothing: the menu is closed and
# tried again.
for _ in 1 2 3 4 5; do
  file_menu o
  for _ in $(seq 1 30); do
    xwininfo -name "Open Document" 2>/dev/null | grep -q "IsViewable" && break 2
    sleep 0.1
  done
  xdotool key Escape Escape
done
await "Open Document"
sleep 0.2
xdotool type --delay 10 "$source"
xdotool key Return
for _ in $(seq 1 50); do xwininfo -name "Open Document" >/dev/null 2>&1 || break; sleep 0.1; done
sleep 0.5
file_menu a
await "Save Document As"
sleep 0.2
xdotool type --delay 10 "$copy"
xdotool key Return
for _ in $(seq 1 100); do [ -s "$copy" ] && break; sleep 0.1; done
[ -s "$copy" ] || fail "no copy was saved"
sleep 0.3
xdotool key alt+F4
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end"
wait "$pid"
code=$?
[ "$code" -eq 0 ] || fail "exit code $code"
[ "$(head -c 6 "$copy")" = '{\rtf1' ] || fail "the copy is not RTF"
if command -v unrtf >/dev/null 2>&1; then
  unrtf --text "$copy" 2>/dev/null | grep -qF "$text" || fail "the copy does not read back with the text"
else
  grep -qF "$text" "$copy" || fail "the copy does not hold the text"
fi
echo "document opened from the File menu and saved under another name"
INNER
