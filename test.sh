#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
#   1. a Release build with every Linux test (unit, engine against real Access files and
#      mdb-export, widget tests offscreen, the smoke test of the real program under Xvfb, the
#      engine and a Jet client under Wine);
#   2. the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer. The kill test
#      (writers killed at random moments) runs in step 1 only: it checks durability, and under
#      the sanitizers it takes minutes. Leak reports are off in step 2: fontconfig, which Qt
#      loads, keeps allocations until exit;
#   3. Windows: Qt for Windows (built once, then cached), the Windows package, the engine, data,
#      verse and bible tests as Windows programs under Wine, and the real Windows program from
#      the package under Wine and Xvfb (the installer, the window, kantelo-db.exe).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${KANTELO_BUILD_PACKAGES[@]}" "${KANTELO_DEMO_PACKAGES[@]}" "${KANTELO_WINDOWS_PACKAGES[@]}"

jobs=$(nproc)
launcher=()
# ccache keeps a machine's earlier builds; paths below the checkout count as relative, so a
# clone elsewhere finds them too.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR="$PWD"

echo "== Release build and all tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKANTELO_TESTS=ON "${launcher[@]}" >/dev/null
cmake --build build -j"$jobs"
# The formatting tests run over every verse of the demo bibles: made once per machine (kept
# beside the Qt cache), then copied into the checkout.
demo_cache="${KANTELO_CACHE:-$HOME/.cache/kantelo}/demo-bibles"
mkdir -p "$demo_cache" demo/drive_c/Lumora/HolyBibles
cp -n "$demo_cache"/*.mdb demo/drive_c/Lumora/HolyBibles/ 2>/dev/null || true
scripts/make-demo-bibles.sh demo/drive_c/Lumora/HolyBibles
cp -n demo/drive_c/Lumora/HolyBibles/*.mdb "$demo_cache"/
ctest --test-dir build --output-on-failure -j"$jobs" -LE windows

echo "== Sanitizer build (ASan, UBSan) and the tests again"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKANTELO_SANITIZE=ON -DKANTELO_TESTS=ON "${launcher[@]}" >/dev/null
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -E '^jet\.kill_test$' -LE windows

echo "== Windows: the package, the tests as Windows programs, the real program under Wine"
scripts/windows/build.sh --tests
ctest --test-dir build-windows --output-on-failure -j"$jobs"
ctest --test-dir build --output-on-failure -L windows
