# Sourced by run.sh and test.sh: installs the Debian packages Kantelo needs when they are missing.
KANTELO_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev
  mdbtools xvfb xauth x11-utils xdotool fonts-dejavu-core fonts-urw-base35 wine64 mingw-w64 ccache)
KANTELO_DEMO_PACKAGES=(diatheke sword-text-kjv sword-text-web)
# For the Windows package and its tests: Qt's source, the installer maker, Wine's fonts, zip.
KANTELO_WINDOWS_PACKAGES=(dpkg-dev nsis fonts-wine zip unzip)

ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing Debian packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
