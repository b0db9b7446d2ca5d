#!/usr/bin/env bash
# Grabs one scene of the screenshot tool (dscp_screenshots) from the display: starts the
# tool in the build's Wine prefix, waits until it says the scene is drawn, grabs the screen
# until two grabs in a row agree (Wine hands its drawing to the X server on its own
# schedule), and ends the tool.
#   grab_scene.sh BUILD_DIR OUTPUT.png WIDTHxHEIGHT+X+Y SCENE [ARG...]
#   (BUILD_DIR is a Windows preset's build tree, build/win32 or build/win64; DISPLAY must
#   name a running X server; DSCP_SCREENSHOT_PREFIX names another Wine prefix than the
#   build's test prefix)
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
crop=$3
shift 3
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/dscp-grab.XXXXXX)
tool=
cleanup() {
  exec 3>&- # the end of the tool's input ends the tool
  [ -z "$tool" ] || wait "$tool" || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "grab_scene.sh $*" >&2
  exit 1
}
deadline=$((SECONDS + 120))
mkfifo "$work/input"
"$root/cmake/wine-run.sh" "$(basename "$build")" "${DSCP_SCREENSHOT_PREFIX:-$build/wineprefix}" \
  "$build/tests/win/dscp_screenshots.exe" "$@" \
  <"$work/input" >"$work/output" &
tool=$!
exec 3>"$work/input"
until grep -q '^ready' "$work/output"; do
  kill -0 "$tool" 2>/dev/null || fail "$*: the tool ended without its scene"
  [ "$SECONDS" -lt "$deadline" ] || fail "$*: no scene after two minutes"
  sleep 0.1
done
grab() { import -window root -crop "$crop" +repage "$1"; }
grab "$work/last.png"
while :; do
  grab "$work/next.png"
  compare -metric AE "$work/last.png" "$work/next.png" null: 2>/dev/null && break
  [ "$SECONDS" -lt "$deadline" ] || fail "$*: the display never settled"
  mv "$work/next.png" "$work/last.png"
done
mv "$work/next.png" "$out"
exec 3>&-
wait "$tool" || fail "$*: the tool failed"
tool=
echo "wrote $out"
