#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
#   1. a Release build with every test (unit, engine against real Access files and mdb-export,
#      widget tests offscreen, the smoke test of the real program under Xvfb);
#   2. the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer. The kill test
#      (writers killed at random moments) runs in step 1 only: it checks durability, and under
#      the sanitizers it takes minutes. Leak reports are off in step 2: fontconfig, which Qt
#      loads, keeps allocations until exit.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${KANTELO_BUILD_PACKAGES[@]}" "${KANTELO_DEMO_PACKAGES[@]}"

jobs=$(nproc)

echo "== Release build and all tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKANTELO_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
# The formatting tests run over every verse of the demo bibles (made once, then kept).
scripts/make-demo-bibles.sh demo/drive_c/Lumora/HolyBibles
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Sanitizer build (ASan, UBSan) and the tests again"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKANTELO_SANITIZE=ON -DKANTELO_TESTS=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -E '^jet\.kill_test$'
