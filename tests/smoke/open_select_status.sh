#!/usr/bin/env bash
# Opens a document in the program on a private Xvfb display, selects a word with a double click
# and reads the screen: the status bar is shown at the bottom of the main window and follows the
# selection (its panels change), and the selection tint lies over that word and no other.
#
# The opening step is one function, named by the second argument (open_from_command_line when
# none is given):
#   open_from_command_line  the file is named on the command line (what works today: the menu
#                           bar has no menus yet, and Ctrl+O does nothing because no hot-key
#                           manager binds keys to commands yet);
#   open_with_ctrl_o        Ctrl+O in the document brings the Open Document dialog;
#   open_from_file_menu     a click on File in the menu bar, then Open... (its accelerator O)
#                           brings the Open Document dialog.
# Set QV_SMOKE_OUT to a folder to keep the screen images of a failed run.
set -u
exe="$1"
open_step="${2:-open_from_command_line}"
. "$(dirname "$0")/smoke_env.sh" xvfb-run xdotool xwininfo python3
printf 'Alpha bravo charlie delta\r\nSecond line\r\n' >"$work/words.txt"

timeout 80 xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$exe" "$work" "$here" "$open_step" <<'INNER'
exe="$1"; work="$2"; here="$3"; open_step="$4"
title="Quorvane Word Processor"
pid=""
fail() { echo "FAILED: $*"; cat "$work/out.txt"; [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; exit 1; }
# Waits until a viewable window of that title is there (up to 10 s).
await() {
  for _ in $(seq 1 100); do
    xwininfo -name "$1" 2>/dev/null | grep -q "IsViewable" && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended early, waiting for \"$1\""
    sleep 0.1
  done
  fail "no window \"$1\""
}
# Waits until the window of that title is gone (up to 10 s).
await_gone() {
  for _ in $(seq 1 100); do
    xwininfo -name "$1" 2>/dev/null | grep -q "IsViewable" || return 0
    sleep 0.1
  done
  fail "the window \"$1\" stays"
}
start_program() {
  "$exe" "$@" >"$work/out.txt" 2>&1 &
  pid=$!
  await "$title"
}
# The Open Document dialog takes the file's path in its name box.
fill_open_dialog() {
  await "Open Document"
  sleep 0.2
  xdotool type --delay 10 "$1"
  xdotool key Return
  await_gone "Open Document"
}

open_from_command_line() { start_program "$1"; }
open_with_ctrl_o() {
  start_program
  xdotool mousemove 640 400 click 1
  sleep 0.3
  xdotool key ctrl+o
  fill_open_dialog "$1"
}
open_from_file_menu() {
  start_program
  # File is the first menu of the bar, at its left end. A click made while the program is still
  # starting may drop nothing: then the menu is closed and tried again.
  for _ in 1 2 3 4 5; do
    xdotool mousemove 20 10 click 1
    sleep 0.4
    xdotool key o
    for _ in $(seq 1 30); do
      xwininfo -name "Open Document" 2>/dev/null | grep -q "IsViewable" && break 2
      sleep 0.1
    done
    xdotool key Escape Escape
  done
  fill_open_dialog "$1"
}

screen() { python3 "$here/x_screen_image.py" "$1" || fail "the screen could not be read"; }

"$open_step" "$work/words.txt"
# The document is shown once its first line's second word can be found on the screen.
for _ in $(seq 1 100); do
  screen "$work/before.png"
  at="$(python3 "$here/png_selection_check.py" word "$work/before.png" 2)" && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended early"
  sleep 0.1
done
[ -n "${at:-}" ] || fail "the document's text is not shown"
# Let the interface update settle (the status bar's panels), then take the picture before.
sleep 1
screen "$work/before.png"
at="$(python3 "$here/png_selection_check.py" word "$work/before.png" 2)" || fail "the text moved"
read -r x y <<<"$at"
python3 "$here/x_double_click.py" "$x" "$y" || fail "the double click could not be sent"
# The selection and the status bar show at the next paint and interface update (up to 10 s).
shown=""
for _ in $(seq 1 20); do
  sleep 0.5
  screen "$work/after.png"
  problems="$(python3 "$here/png_selection_check.py" check "$work/before.png" "$work/after.png" 2)" &&
    { shown=1; break; }
done
if [ -z "$shown" ]; then
  [ -n "${QV_SMOKE_OUT:-}" ] && cp "$work/before.png" "$work/after.png" "$QV_SMOKE_OUT/"
  fail "after the double click: $problems"
fi
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after SIGTERM"
wait "$pid"
echo "document opened ($open_step), word selected by a double click, status bar shown"
INNER
