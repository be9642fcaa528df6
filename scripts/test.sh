#!/usr/bin/env bash
# Installs what is missing, builds kelto and runs every test: the Windows
# program's unit tests under Wine, the end-to-end cases against the Linux
# program and against the Windows program under Wine, and the Linux tests again
# under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64

echo "== windows: build (build-windows/kelto.exe) and unit tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows

echo "== default: build (build/kelto), unit and end-to-end tests for Linux and Windows"
cmake --preset default -DKELTO_WINDOWS_EXE="$PWD/build-windows/kelto.exe" >/dev/null
cmake --build --preset default
ctest --preset default

echo "== asan: the Linux tests under the sanitizers"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

scripts/wine-run.sh --stop >/dev/null 2>&1 || true
