#!/usr/bin/env bash
# Black-box run of the Linux launcher as a desktop menu starts it (no
# controlling terminal, standard output on /dev/null) in an X session with
# Debian's zenity:
#   - an INI without "Main Class" shows an error dialog titled with the
#     product name, in English with "Message Language=en"; a screenshot of
#     it is kept; closing it ends the launcher with exit code 255 (-1);
#   - with no runtime that fits, the question for a Java folder appears; a
#     folder typed into it is launched with and remembered;
#   - without a display, the Error: line as on a terminal.
# Usage: desktop_dialogs_on_display_posix.sh LAUNCHER JAVA_HOME HELLO_JAR ARTEFACT_DIR
# Without DISPLAY it runs itself under xvfb-run; exits with 77 (skipped)
# when neither a display nor Xvfb, or zenity, xdotool or import is missing.
set -u
launcher=$1 java_home=$2 hello_jar=$3 artefacts=$4
for tool in zenity xdotool import setsid; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: needs $tool"
    exit 77
  fi
done
if [ -z "${DISPLAY:-}" ]; then
  if command -v xvfb-run >/dev/null; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
  fi
  echo "skipped: needs DISPLAY or xvfb-run"
  exit 77
fi
unset WAYLAND_DISPLAY JAVA_HOME
fail() { echo "FAILED: $*"; status=1; }
status=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config HOME=$work/home

# Runs the launcher copy $1 as a menu would, in the background.
start_from_menu() { setsid -w sh -c 'exec "$0" >/dev/null 2>&1 </dev/null' "$1" & runner=$!; }
# Waits for the background launcher; its exit code in $code.
finish() {
  for _ in $(seq 1 300); do kill -0 "$runner" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$runner" 2>/dev/null; then
    fail "$1: the launcher did not end"
    kill "$runner"
  fi
  wait "$runner"
  code=$?
}
# The window titled exactly $1, focused after a screenshot into $2.
find_window() {
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | head -1)
  if [ -z "$window" ]; then
    fail "no window titled '$1'"
    return 1
  fi
  sleep 1  # let it finish painting
  mkdir -p "$artefacts"
  import -window root "$artefacts/$2" && echo "screenshot: $artefacts/$2"
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# The error dialog.
mkdir "$work/broken"
cp "$launcher" "$work/broken/acme"
title="Acme Desktop $$"
printf '[Product Information]\nProduct Name=%s\n[Application]\nMessage Language=en\n' "$title" >"$work/broken/acme.ini"
start_from_menu "$work/broken/acme"
find_window "$title" zenity-error.png && xdotool key Return
finish "error dialog"
[ "$code" -eq 255 ] || fail "exit code 255 expected after the error dialog, got $code"

# Without a display: the line (on a pipe here, so it can be read).
output=$(env -u DISPLAY setsid -w "$work/broken/acme" 2>&1 </dev/null | cat)
[ "$output" = "Error: Main class not specified in the INI file. " ] || fail "without a display: got '$output'"

# The question for a Java folder: typed in, launched, remembered.
mkdir "$work/hello"
cp "$launcher" "$work/hello/hello"
cp "$hello_jar" "$work/hello/hello.jar"
printf '[Java Runtime Environment]\nMain Class=example.Hello\nMinimum Version=99\n[Class Path]\nClass Path=hello.jar\n[Application]\nOutput File=out.txt\nOverride WorkingDir=Yes\n' \
  >"$work/hello/hello.ini"
start_from_menu "$work/hello/hello"
if find_window "JRE nicht gefunden" zenity-jre-question.png; then
  xdotool type --delay 20 "$java_home"
  xdotool key Return
fi
finish "question"
[ "$code" -eq 0 ] || fail "exit code 0 expected after a folder was typed, got $code"
grep -q "^Hello from Java" "$work/hello/out.txt" 2>/dev/null || fail "the example did not run"
grep -qxF "JRE Path=$java_home/" "$work/config/hello.ini" 2>/dev/null ||
  fail "the folder was not remembered: $(cat "$work/config/hello.ini" 2>&1)"
exit $status
