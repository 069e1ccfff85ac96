#!/usr/bin/env bash
# Builds both targets and runs every test: the native tests on the emulated machine, the native
# tests again under the sanitizers, a bounded run of every fuzz target, then the Windows test
# programs under Wine in the project's own 32-bit prefix.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/install-deps.sh

jobs=${OV_JOBS:-2}

echo "== native: build and test"
cmake --preset native -DOV_WERROR=ON >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

# A sanitizer report makes its test program exit non-zero, so ctest and this script fail.
echo "== asan: every native test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== tsan: the job, the pause protocol and the wizard's messages under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

echo "== fuzz: every fuzz target for a bounded time"
tools/fuzz.sh

echo "== win32: build, then test under Wine"
cmake --preset win32 -DOV_WERROR=ON >/dev/null
cmake --build --preset win32 -j "$jobs"
# A fresh prefix for every run, so no earlier run's registry or files leak into this one.
rm -rf build/wine-prefix build/wine-prefix.lock
ctest --preset win32 -j "$jobs"
wineserver -k 2>/dev/null || true

echo "== all tests passed"
