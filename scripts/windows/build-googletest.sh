#!/usr/bin/env bash
# Cross-builds GoogleTest for 64-bit Windows from Debian's libgtest-dev sources (/usr/src/googletest)
# into ${KANTELO_CACHE:-$HOME/.cache/kantelo}/googletest-mingw64; nothing to do when it is there.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cache="${KANTELO_CACHE:-$HOME/.cache/kantelo}"
prefix="$cache/googletest-mingw64"
version="$(dpkg-query -W -f='${Version}' libgtest-dev)"
if [ -f "$prefix/.kantelo-complete" ] && [ "$(cat "$prefix/.kantelo-complete")" = "$version" ]; then
  exit 0
fi
build="$cache/googletest-mingw64-work"
rm -rf "$build" "$prefix"
cmake -S /usr/src/googletest -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
cmake --install "$build" >/dev/null
echo "$version" >"$prefix/.kantelo-complete"
rm -rf "$build"
echo "GoogleTest for Windows: installed in $prefix"
