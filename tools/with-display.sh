#!/usr/bin/env bash
# Runs a command with an X display for Wine's windows: the caller's DISPLAY
# when one is set, otherwise a private Xvfb screen for the command's lifetime.
# Every Wine command of one Wine session must see the same display, so wrap
# the whole Windows test run, e.g. tools/with-display.sh ctest --test-dir build/win64
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
