#!/usr/bin/env bash
# Makes what every scenario starts from: a new 32-bit Wine prefix (copied, never shared, by each
# scenario) and the listing of the package that OrnivaleSetup.exe carries.
set -euo pipefail
: "${OV_E2E_BIN:?}" "${OV_E2E_WORK:?}" "${OV_E2E_PACKAGE:?}"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX=$OV_E2E_WORK/template
unset DISPLAY

start=$(date +%s)
mkdir -p "$OV_E2E_WORK"
# Only this prefix's server, in case an earlier run was stopped half-way.
[ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null || true; }
rm -rf "$WINEPREFIX" "$OV_E2E_WORK/package.list"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
[ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no prefix in $WINEPREFIX" >&2; exit 1; }
# Every scenario has its own X display; the null driver is only there for programs run without one.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f >/dev/null 2>&1
wine "$OV_E2E_BIN/ovpack.exe" list "Z:${OV_E2E_PACKAGE//\//\\}" | tr -d "\r" >"$OV_E2E_WORK/package.list"
wineserver -w
entries=$(tail -n 1 "$OV_E2E_WORK/package.list")
echo "template prefix $WINEPREFIX and the package listing ($entries) made in $(($(date +%s) - start)) s"
