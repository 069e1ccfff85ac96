#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own 32-bit prefix (build/wine-prefix),
# creating the prefix on first use. Without an X display, windows go to Wine's null driver.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-prefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # X11 when $DISPLAY works, else the null driver: a hidden window then needs no X server.
  if ! grep -q '^"Graphics"="x11,null"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f >/dev/null 2>&1
    # The desktop chooses its driver when it starts: let this session end first.
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
