#!/usr/bin/env bash
# Black-box run of the windowless launcher on an X display, started as
# Explorer starts it (no standard handles): an INI without "Main Class"
# shows a message box titled with the product name; a screenshot of it is
# kept; closing it ends the launcher with exit code -1. Started with its
# output redirected to a file, the same launcher writes the Error: line
# there and shows no box. With no Java runtime, its "JRE nicht gefunden"
# dialog appears as the console launcher's does.
# Usage: desktop_errors_on_display_win.sh JAVELINW.exe ARTEFACT_DIR
# Needs DISPLAY (see tools/with-display.sh), xdotool and ImageMagick's import;
# exits with 77 (skipped) without them.
set -u
launcher=$1 artefacts=$2
. "$(dirname "$0")/wine_on_display.sh"

app=$(mktemp -d)
trap 'rm -rf "$app"' EXIT
cp "$launcher" "$app/app.exe"
title="Acme Desktop $$"
printf '[Product Information]\r\nProduct Name=%s\r\n[Application]\r\nMessage Language=en\r\n' "$title" >"$app/app.ini"
status=0

# Without standard handles: the message box. "start /wait" passes the exit
# code back (cut to 8 bits by wine: -1 is 255).
"$wine_loader" start /wait /unix "$app/app.exe" </dev/null >/dev/null 2>&1 &
runner=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" | head -1)
if [ -z "$window" ]; then
  fail "no message box titled '$title'"
else
  sleep 1  # let the box finish painting
  mkdir -p "$artefacts"
  import -window root "$artefacts/javelinw-error.png" && echo "screenshot: $artefacts/javelinw-error.png"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key Return
fi
for _ in $(seq 1 300); do kill -0 "$runner" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$runner" 2>/dev/null; then
  fail "the launcher did not end after the box was closed"
  kill "$runner"
fi
wait "$runner"
code=$?
[ "$code" -eq 255 ] || fail "exit code 255 (-1) expected after the box, got $code"

# With standard output redirected: the line, and the launcher ends by itself.
timeout 60 "$wine_loader" "$app/app.exe" >"$app/out.txt" 2>&1 </dev/null
code=$?
[ "$code" -eq 255 ] || fail "exit code 255 (-1) expected with a redirection, got $code"
tr -d '\r' <"$app/out.txt" >"$app/lines.txt"
grep -qx 'Error: Main class not specified in the INI file. ' "$app/lines.txt" ||
  fail "the Error: line expected in the redirected output, got: $(cat "$app/lines.txt")"

# The Java question of the windowless launcher; Escape cancels it.
printf '[Java Runtime Environment]\r\nMain Class=demo.Main\r\nMinimum Version=99\r\n' >"$app/app.ini"
env -u JAVA_HOME "$wine_loader" start /wait /unix "$app/app.exe" </dev/null >/dev/null 2>&1 &
runner=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'JRE nicht gefunden' | head -1)
if [ -z "$window" ]; then
  fail "no window titled 'JRE nicht gefunden'"
else
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key Escape
fi
for _ in $(seq 1 300); do kill -0 "$runner" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$runner" 2>/dev/null; then
  fail "the launcher did not end after Escape"
  kill "$runner"
fi
wait "$runner"
code=$?
[ "$code" -eq 255 ] || fail "exit code 255 (-1) expected after Escape, got $code"
exit $status
