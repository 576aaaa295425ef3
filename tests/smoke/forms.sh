#!/usr/bin/env bash
# Shows a dialog of the standard controls and a message box with its explanation on a private
# Xvfb display through the real X11 backend, and checks that both window images were saved and
# show something.
set -u
demo="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run
out="${QV_SMOKE_OUT:-$work}"  # set QV_SMOKE_OUT to keep the images

fail() { echo "FAILED: $*"; cat "$work/out.txt" 2>/dev/null; exit 1; }
timeout 20 xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash -c '"$1" dialog "$2/dialog.png" && "$1" message "$2/message.png"' _ "$demo" "$out" \
  >"$work/out.txt" 2>&1 || fail "the demo program failed (code $?)"
for f in dialog message; do [ -s "$out/$f.png" ] || fail "$f.png was not saved"; done
if command -v python3 >/dev/null 2>&1; then
  (cd "$here" && python3 png_not_blank.py "$out/dialog.png" 400 300 "$out/message.png" 250 100) ||
    fail "a window image is blank"
fi
echo "dialog and message box shown and saved"
