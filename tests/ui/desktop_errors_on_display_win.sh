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

title="Acme Desktop $$"
printf '[Product Information]\r\nProduct Name=%s\r\n[Application]\r\nMessage Language=en\r\n' "$title" >"$app/app.ini"

# Without standard handles: the message box. "start /wait" passes the exit
# code back (cut to 8 bits by wine: -1 is 255).
"$wine_loader" start /wait /unix "$app/app.exe" </dev/null >/dev/null 2>&1 &
runner=$!
close_window $runner "^$title\$" Return javelinw-error.png "message box"
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
close_window $runner 'JRE nicht gefunden' Escape '' dialog
wait "$runner"
code=$?
[ "$code" -eq 255 ] || fail "exit code 255 (-1) expected after Escape, got $code"
exit $status
