#!/usr/bin/env bash
# Installs what is missing, builds (Release) into build/, prepares the demo bibles once, and
# starts Kantelo on the demo drive.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${KANTELO_BUILD_PACKAGES[@]}" "${KANTELO_DEMO_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKANTELO_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"

demo_drive="$PWD/demo/drive_c"
mkdir -p "$demo_drive/Lumora/HolyBibles"
if [ -x scripts/make-demo-bibles.sh ]; then
  scripts/make-demo-bibles.sh "$demo_drive/Lumora/HolyBibles"
fi

export KANTELO_DRIVE_C="$demo_drive"
exec build/src/app/kantelo "$@"
