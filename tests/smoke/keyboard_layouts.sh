#!/usr/bin/env bash
# The keyboard layouts come from the X server's XKB groups, not the fixed list: US English
# alone on a plain Xvfb display; US English, German, Russian when the server took "us,de,ru".
set -u
demo="$1"
. "$(dirname "$0")/smoke_env.sh" xvfb-run setxkbmap
timeout 20 xvfb-run -a -s "-screen 0 800x600x24" \
  bash -c 'setxkbmap -layout us,de,ru
            xkbcomp "$DISPLAY" - 2>/dev/null | grep -q "name\[group3\]" && echo 3 >"$2.groups"
            "$1" layouts "$2"' _ "$demo" "$work/layouts.txt" >"$work/out.txt" 2>&1 ||
  { echo "FAILED: the demo program failed"; cat "$work/out.txt"; exit 1; }
want="04090409 04090409"
[ -f "$work/layouts.txt.groups" ] && want="04090409 04090409 04070407 04190419"
got="$(cat "$work/layouts.txt")"
[ "$got" = "$want" ] || { echo "FAILED: layouts \"$got\", expected \"$want\""; exit 1; }
echo "keyboard layouts read from XKB"
