# Sourced by the smoke scripts: skips (code 77) unless every named command is installed, then
# makes a private work folder (removed on exit) and points HOME and the XDG folders into it, so
# that the program under test touches nothing of the user's, nor finds another running instance
# through the single-instance channel (in the runtime folder). Sets $work and $here (the folder
# of the smoke scripts). Usage: . smoke_env.sh COMMAND...
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
for needed in "$@"; do
  if ! command -v "$needed" >/dev/null 2>&1; then
    echo "SKIPPED: $needed is not installed"
    exit 77
  fi
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TMPDIR="$work"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The programs run on the real X11 backend, whatever the caller's environment says.
unset QV_BACKEND
