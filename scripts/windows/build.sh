#!/usr/bin/env bash
# Builds Kantelo for 64-bit Windows on Debian with MinGW-w64 and packages it:
#   build-windows/Kantelo-<version>-win64.zip        unpack and run
#   build-windows/Kantelo-<version>-win64-setup.exe  installer (NSIS), per user, no admin rights
# Qt for Windows comes from scripts/windows/build-qt.sh (cached after the first run).
#
# usage: scripts/windows/build.sh [--tests]
#   --tests  also builds the engine, data, verse and bible tests as Windows programs
#            (run them with: ctest --test-dir build-windows; ctest starts them under wine64)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$root/scripts/deps.sh"
ensure_packages "${KANTELO_BUILD_PACKAGES[@]}" "${KANTELO_WINDOWS_PACKAGES[@]}"

tests=OFF
for arg in "$@"; do
  case "$arg" in
    --tests) tests=ON ;;
    *) echo "usage: scripts/windows/build.sh [--tests]" >&2; exit 2 ;;
  esac
done

"$here/build-qt.sh"
cache="${KANTELO_CACHE:-$HOME/.cache/kantelo}"
qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
upstream="${qt_version%%+*}"; upstream="${upstream%%-*}"
qt="$cache/qt-$upstream-mingw64"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
triple=x86_64-w64-mingw32

extra=()
if [ "$tests" = ON ]; then
  "$here/build-googletest.sh"
  extra+=(-DGTest_DIR="$cache/googletest-mingw64/lib/cmake/GTest")
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

export CCACHE_BASEDIR="$root"
out="$root/build-windows"
cmake -S "$root" -B "$out" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DKANTELO_TESTS="$tests" "${launcher[@]}" "${extra[@]}" >/dev/null
cmake --build "$out" -j"$(nproc)"

version="$(cat "$out/kantelo-version.txt")"
stage="$out/package/Kantelo"
rm -rf "$out/package"
mkdir -p "$stage/platforms" "$stage/styles"
cp "$out/src/app/kantelo.exe" "$out/tools/kantelo_db/kantelo-db.exe" "$stage/"
cp "$qt/bin/Qt6Core.dll" "$qt/bin/Qt6Gui.dll" "$qt/bin/Qt6Widgets.dll" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
# The MinGW runtime the programs and Qt's DLLs link against (posix thread model).
gcc_dir="$(dirname "$("$triple-g++-posix" -print-libgcc-file-name)")"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do cp "$gcc_dir/$dll" "$stage/"; done
cp "/usr/$triple/lib/libwinpthread-1.dll" "$stage/"
find "$stage" -name '*.exe' -o -name '*.dll' | xargs "$triple-strip" --strip-unneeded

# Every DLL a program or plugin imports must be in the package or part of Windows.
"$here/check-imports.sh" "$stage"

zip_name="Kantelo-$version-win64.zip"
rm -f "$out/$zip_name"
(cd "$out/package" && zip -qr9 "../$zip_name" Kantelo)
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$root/src/app/windows/kantelo.ico" -DOUTFILE="$out/Kantelo-$version-win64-setup.exe" \
  "$root/packaging/windows/kantelo.nsi"
echo "Windows package: $out/$zip_name, $out/Kantelo-$version-win64-setup.exe"
