# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian packages
# the build needs (only those missing) and builds the project with CMake and Ninja.

ZP_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Package names that Debian 12 and later and Ubuntu 24.04 and later share. Qt's SQL
# module comes with qt6-base-dev; its SQLite and PostgreSQL drivers, which the flight
# library opens at run time, are libqt6sql6-sqlite and libqt6sql6-psql. postgresql is the
# server that the tests and benchmarks start a throw-away cluster of (scripts/pg-cluster).
ZP_PACKAGES=(g++ cmake ninja-build qt6-base-dev qt6-svg-dev libgl-dev libjpeg-dev fonts-liberation
             python3 libqt6sql6-sqlite libqt6sql6-psql postgresql)

zp_install_packages() {
    local missing=() pkg
    for pkg in "${ZP_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "This machine has no apt-get. Install these packages (or your system's" >&2
        echo "equivalents) by hand, then run this script again:" >&2
        echo "    ${missing[*]}" >&2
        exit 1
    fi
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

# The number of jobs for ctest: one per core.
zp_jobs() {
    getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2
}

# Warnings are errors in CI only, so a newer compiler's new warning does not stop a
# user's build.
zp_werror_flag() {
    if [ -n "${CI:-}" ]; then echo "-DZP_WERROR=ON"; else echo "-DZP_WERROR=OFF"; fi
}

# The German regional settings of the C library, which one import test runs under.
# Generated once with localedef, which Debian and Ubuntu both ship in "locales".
zp_german_locale() {
    if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then return 0; fi
    zp_install_packages locales
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 ||
        echo "Could not generate de_DE.UTF-8; the German-locale import test will be skipped."
}
