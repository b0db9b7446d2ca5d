# Sourced by scripts that need an X display: when DISPLAY is not set, starts a virtual one
# (Xvfb picks a free number and tells it) and sets DISPLAY and xvfb_pid, which the caller
# kills when it ends.
if [ -z "${DISPLAY:-}" ]; then
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$display_file")"
  rm -f "$display_file"
fi
