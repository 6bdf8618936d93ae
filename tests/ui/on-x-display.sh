#!/bin/sh
# Runs one widget test on an X display of its own: a private Xvfb (tests run
# in parallel never share one) and Qt's xcb platform, as most users run the
# window. The offscreen platform has none of X11's key bindings (Ctrl+U
# erasing a line edit's line, for one), so a test of keys passing there
# proves nothing here. Without Xvfb the test is skipped, saying why.
set -u
test="$1"
shift
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIPPED: Xvfb is not installed (Debian: apt-get install xvfb); $(basename "$test") ran offscreen only"
  exit 77
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/tivolan-xvfb.XXXXXX")
# Xvfb picks a free display and writes its number once it takes connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$dir"' EXIT
tries=0
until [ -s "$dir/display" ]; do
  if ! kill -0 "$xvfb" 2>/dev/null || [ "$tries" -ge 600 ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/log" >&2
    exit 1
  fi
  tries=$((tries + 1))
  sleep 0.1
done
DISPLAY=":$(tr -d '\n' <"$dir/display")" QT_QPA_PLATFORM=xcb "$test" "$@"
