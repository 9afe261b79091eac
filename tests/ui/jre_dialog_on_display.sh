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

app=$(mktemp -d)
trap 'rm -rf "$app"' EXIT
cp "$launcher" "$app/app.exe"
printf '[Java Runtime Environment]\r\nMain Class=demo.Main\r\nMinimum Version=99\r\n' >"$app/app.ini"
# cmd prints the full exit code (wine itself cuts it to 8 bits).
env -u JAVA_HOME "$wine_loader" cmd /c "Z:$(echo "$app/app.exe" | tr / '\\') & echo ERRORLEVEL=%ERRORLEVEL%" \
  >"$app/out.txt" 2>&1 </dev/null &
runner=$!

status=0
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'JRE nicht gefunden' | head -1)
if [ -z "$window" ]; then
  fail "no window titled 'JRE nicht gefunden'"
else
  sleep 1  # let the dialog finish painting
  mkdir -p "$artefacts"
  import -window root "$artefacts/jre-dialog.png" && echo "screenshot: $artefacts/jre-dialog.png"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key Escape
fi
for _ in $(seq 1 300); do kill -0 "$runner" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$runner" 2>/dev/null; then
  fail "the launcher did not end after Escape"
  kill "$runner"
fi
wait "$runner" 2>/dev/null
tr -d '\r' <"$app/out.txt" | tee "$app/lines.txt"
grep -qx 'ERRORLEVEL=-1' "$app/lines.txt" || fail "exit code -1 expected"
exit $status
