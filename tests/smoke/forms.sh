#!/usr/bin/env bash
# Shows a dialog of the standard controls and a message box with its explanation on a private
# Xvfb display through the real X11 backend, and checks that both window images were saved and
# show something.
set -u
demo="$1"
here="$(cd "$(dirname "$0")" && pwd)"
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIPPED: xvfb-run is not installed"
  exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TMPDIR="$work"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
unset QV_BACKEND
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
