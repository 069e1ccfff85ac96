#!/usr/bin/env bash
# Builds the Windows programs and runs the setup under Wine.
# With an X display: the setup opens there, in a new prefix (build/run-prefix), for you to click.
# Without one: the setup walks its five pages with the default choices on a virtual display (the
# end-to-end scenario "default-install"), and this prints where the product went and where the
# screenshots of every page are.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${OV_JOBS:-2}"

exe=build/win32/bin/OrnivaleSetup.exe
[ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # A new machine each time, so the setup does not find the product of an earlier run.
  prefix=$root/build/run-prefix
  if [ -d "$prefix" ]; then WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; fi
  rm -rf "$prefix" "$prefix.lock"
  echo "Starting the setup on $DISPLAY (Wine prefix $prefix)..."
  status=0
  WINEPREFIX=$prefix tools/wine-run.sh "$exe" || status=$?
  WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
  product="$prefix/drive_c/Program Files/Ornivale"
  if [ -d "$product" ]; then
    echo "The product went to C:\\Program Files\\Ornivale, which is $product"
  else
    echo "Nothing was installed (prefix $prefix)."
  fi
  exit "$status"
fi

echo "No X display: walking the five pages with the default choices on a virtual display..."
shots=$(sed -n 's/^OV_E2E_SHOTS:PATH=//p' build/win32/CMakeCache.txt)
status=0
OV_E2E_KEEP=1 ctest --preset win32 -R '^e2e_default-install$' --output-on-failure || status=$?
prefix=$root/build/win32/e2e/default-install/prefix
echo
echo "The product went to C:\\Program Files\\Ornivale of the Wine prefix $prefix,"
echo "  which is $prefix/drive_c/Program Files/Ornivale"
echo "Screenshots of every page: $shots/default-install"
ls "$shots/default-install" 2>/dev/null | sed 's/^/  /'
exit "$status"
