#!/usr/bin/env bash
# Types into a new document on a private Xvfb display and saves it as RTF: the program starts
# without a file, takes the typed text (two paragraphs, Enter and Backspace), and on closing (Alt+F4) asks to save; Yes brings the Save
# As dialog, whose name box takes a path in the work folder. The program then ends, and the file
# reads back with the text typed (through unrtf when it is installed, else from the RTF itself).
set -u
exe="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run xdotool xwininfo

timeout 80 xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$exe" "$work" <<'INNER'
exe="$1"; work="$2"
saved="$work/typed.rtf"
text="Typed on the smoke display and saved as rich text"
second="A second paragraph"
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
await "Quorvane Word Processor"
# Into the page of the new document, then the text.
xdotool mousemove 640 400 click 1
sleep 0.3
xdotool type --delay 20 "$text"
# A second paragraph after Enter, with a typing slip taken back by Backspace.
xdotool key Return
xdotool type --delay 20 "${second}x"
xdotool key BackSpace
sleep 0.3
# Closing asks to save the changed document; Yes shows the Save As dialog.
xdotool key alt+F4
await "Confirm"
xdotool key Return
await "Save Document As"
sleep 0.2
xdotool type --delay 10 "$saved"
xdotool key Return
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after saving"
wait "$pid"
code=$?
[ "$code" -eq 0 ] || fail "exit code $code"
[ -s "$saved" ] || fail "no file was saved"
[ "$(head -c 6 "$saved")" = '{\rtf1' ] || fail "the saved file is not RTF"
if command -v unrtf >/dev/null 2>&1; then
  # A compact file ends its paragraphs with a backslash and a carriage return, a form of \par
  # that unrtf does not know: it gets the word.
  sed 's/\\\r/\\par /g' "$saved" >"$work/readable.rtf"
  plain="$(unrtf --text "$work/readable.rtf" 2>/dev/null)"
  printf '%s\n' "$plain" | grep -qxF "$text" || fail "the file does not read back with the text"
  printf '%s\n' "$plain" | grep -qxF "$second" || fail "the second paragraph is not read back alone"
else
  grep -qF "$text" "$saved" || fail "the file does not hold the text"
  grep -qF "$second" "$saved" || fail "the file does not hold the second paragraph"
  grep -qF "${second}x" "$saved" && fail "Backspace did not take the slip back"
fi
echo "typed text saved as RTF and read back"
INNER
