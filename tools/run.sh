#!/usr/bin/env bash
# Builds the Windows program and runs the setup under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${OV_JOBS:-2}"

exe=build/win32/bin/OrnivaleSetup.exe
if [ ! -f "$exe" ]; then
  echo "Built the Windows target in build/win32/bin; the setup window ($exe) does not exist yet, so there is nothing to run."
  exit 0
fi
exec tools/wine-run.sh "$exe"
