# Sourced by the Windows dialog scripts after they set `launcher`: skips
# (exit 77) without an X display, xdotool or ImageMagick's import; sets up
# the build's Wine prefix and `wine_loader`; defines `fail`.
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null || ! command -v import >/dev/null; then
  echo "skipped: needs DISPLAY, xdotool and import"
  exit 77
fi
fail() { echo "FAILED: $*"; status=1; }
build_dir=$(cd "$(dirname "$launcher")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix} WINEDEBUG=${WINEDEBUG:--all} LC_ALL=${LC_ALL:-C.UTF-8}
wine_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine_loader" wineboot --init >/dev/null 2>&1
  wineserver -w 2>/dev/null || true
fi
# Unmanaged windows close without the window manager's delay.
"$wine_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

# The application folder: a copy of the launcher as app.exe.
app=$(mktemp -d)
trap 'rm -rf "$app"' EXIT
cp "$launcher" "$app/app.exe"
status=0

# Finds the window whose title matches PATTERN, keeps a screenshot in
# $artefacts/SHOT (none when SHOT is empty), presses KEY in it and waits up
# to 30 s for the process RUNNER to end, killing it when it does not.
# Usage: close_window RUNNER PATTERN KEY SHOT WHAT
close_window() {
  local runner=$1 pattern=$2 key=$3 shot=$4 what=$5 window
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "$pattern" | head -1)
  if [ -z "$window" ]; then
    fail "no $what titled '$pattern'"
  else
    if [ -n "$shot" ]; then
      sleep 1  # let the window finish painting
      mkdir -p "$artefacts"
      import -window root "$artefacts/$shot" && echo "screenshot: $artefacts/$shot"
    fi
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key "$key"
  fi
  for _ in $(seq 1 300); do kill -0 "$runner" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$runner" 2>/dev/null; then
    fail "the launcher did not end after $key in the $what"
    kill "$runner"
  fi
}
