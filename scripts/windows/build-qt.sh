#!/usr/bin/env bash
# Cross-builds Qt's base module for 64-bit Windows from Debian's own source package of the Qt that
# qt6-base-dev installs, with the installed Debian Qt as host tools. Installs into
#   ${KANTELO_CACHE:-$HOME/.cache/kantelo}/qt-<version>-mingw64
# and does nothing when that install is complete. About 13 minutes on 2 cores the first time.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$root/scripts/deps.sh"
ensure_packages "${KANTELO_BUILD_PACKAGES[@]}" "${KANTELO_WINDOWS_PACKAGES[@]}"

qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"   # e.g. 6.4.2+dfsg-10
upstream="${qt_version%%+*}"; upstream="${upstream%%-*}"
cache="${KANTELO_CACHE:-$HOME/.cache/kantelo}"
prefix="$cache/qt-$upstream-mingw64"
stamp="$prefix/.kantelo-complete"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$qt_version" ]; then
  echo "Qt $upstream for Windows: cached in $prefix"
  exit 0
fi

work="$cache/qt-$upstream-mingw64-work"
mkdir -p "$work"

# Debian's source package needs a deb-src entry; add one for the configured suite when none exists.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  echo "Adding a deb-src entry for $suite"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$suite" "$suite" | $sudo tee /etc/apt/sources.list.d/kantelo-deb-src.sources >/dev/null
  $sudo apt-get update -qq
fi

src="$work/src"
if [ ! -f "$src/.kantelo-unpacked" ]; then
  rm -rf "$src" "$work/get"
  mkdir -p "$work/get"
  (cd "$work/get" && apt-get source -qq "qt6-base=$qt_version")
  mv "$work/get"/qt6-base-*/ "$src"
  rm -rf "$work/get"
  touch "$src/.kantelo-unpacked"
fi

build="$work/build"
rm -rf "$build" "$prefix"
# Only what Kantelo uses: Core, Gui, Widgets, Test, the qwindows platform plugin and the Windows
# styles. Debian's +dfsg source has no src/3rdparty/wintab, which the tablet support includes,
# so tablet events are off. -DINPUT_opengl=no is what turns Qt's dynamic OpenGL off;
# direct2d stays (the DirectWrite font database is built with it), only its plugin is skipped.
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
  -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF -DFEATURE_direct2d1_1=OFF \
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_openssl=OFF \
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF \
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_sql_sqlite=OFF -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_gui=ON
cmake --build "$build" -j"$(nproc)"
cmake --install "$build" >/dev/null
echo "$qt_version" >"$stamp"
rm -rf "$build"
echo "Qt $upstream for Windows: installed in $prefix"
