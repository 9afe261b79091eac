#!/usr/bin/env bash
# Black-box run of the Windows launcher on an X display: with no Java runtime
# anywhere the launcher shows the dialog "JRE nicht gefunden"; a screenshot
# of it is kept; Escape ends the launcher with exit code -1.
# Usage: jre_dialog_on_display.sh LAUNCHER.exe ARTEFACT_DIR
# Needs DISPLAY (see tools/with-display.sh), xdotool and ImageMagick's import;
# exits with 77 (skipped) without them.
set -u
launcher=$1 artefacts=$2
. "$(dirname "$0")/wine_on_display.sh"

printf '[Java Runtime Environment]\r\nMain Class=demo.Main\r\nMinimum Version=99\r\n' >"$app/app.ini"
# cmd prints the full exit code (wine itself cuts it to 8 bits).
env -u JAVA_HOME "$wine_loader" cmd /c "Z:$(echo "$app/app.exe" | tr / '\\') & echo ERRORLEVEL=%ERRORLEVEL%" \
  >"$app/out.txt" 2>&1 </dev/null &
close_window $! 'JRE nicht gefunden' Escape jre-dialog.png dialog
wait 2>/dev/null
tr -d '\r' <"$app/out.txt" | tee "$app/lines.txt"
grep -qx 'ERRORLEVEL=-1' "$app/lines.txt" || fail "exit code -1 expected"
exit $status
