#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${KANTELO_BUILD_PACKAGES[@]}"

jobs=$(nproc)

echo "== Release build and all tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKANTELO_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
