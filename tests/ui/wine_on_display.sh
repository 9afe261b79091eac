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
