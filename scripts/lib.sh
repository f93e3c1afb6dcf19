# Shared by scripts/run and scripts/test: package installation and the build.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

BUILD_PACKAGES="cmake ninja-build g++ pkg-config libsdl2-dev libsdl2-ttf-dev libx11-dev libxext-dev libgl-dev libglu1-mesa-dev
  libegl-dev libegl-mesa0 libgl1-mesa-dri libturbojpeg0-dev libcairo2-dev libfreetype-dev
  libxdamage-dev libxtst-dev libatk1.0-dev libatk-bridge2.0-dev dpkg-dev file
  fonts-dejavu-core"
TEST_PACKAGES="libgtest-dev xvfb xauth xdotool x11-apps x11-xkb-utils imagemagick openbox xclip
  desktop-file-utils appstream x11-xserver-utils lintian weston xwayland libdecor-0-plugin-1-cairo
  x11-utils dbus-daemon at-spi2-core libglib2.0-bin python3-gi gir1.2-atspi-2.0"

# Installs the Debian packages that are not installed yet (apt-get as root, sudo otherwise).
ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}
