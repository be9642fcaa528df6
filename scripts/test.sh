#!/usr/bin/env bash
# Installs what is missing, builds kelto and runs every test: the plain build
# and the AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in default asan; do
    echo "== $preset: build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset: tests"
    ctest --preset "$preset"
done
