# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian packages
# the build needs (only those missing) and builds the project with CMake and Ninja.

ZP_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZP_PACKAGES=(g++ cmake ninja-build qt6-base-dev libgl-dev libjpeg62-turbo-dev fonts-liberation)

zp_install_packages() {
    local missing=() pkg
    for pkg in "${ZP_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

# zp_build BUILD_DIR [extra cmake arguments...]
zp_build() {
    local dir="$1"
    shift
    cmake -S "$ZP_ROOT" -B "$dir" -G Ninja "$@"
    cmake --build "$dir"
}
