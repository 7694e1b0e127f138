# Shared by the run and test commands: installing what a fresh Debian 12 machine
# lacks, and building a preset. Sourced, not run.

PONDERIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building, running and testing need, from Debian's own packages.
PONDERIX_BUILD_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev
    fonts-liberation fonts-dejavu-core fonts-wine
)
# The Windows build: the mingw-w64 cross compilers (POSIX threads), GoogleTest's
# sources to build for Windows, Wine to run the programs, and a virtual display
# with the tools that drive and photograph them.
PONDERIX_WINDOWS_PACKAGES=(
    cmake ninja-build g++-mingw-w64-x86-64-posix libgtest-dev
    wine wine64 fonts-wine fonts-liberation fonts-dejavu-core
    xvfb xauth xdotool x11-utils imagemagick procps binutils
)
PONDERIX_TEST_PACKAGES=(
    libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    xvfb xauth xdotool x11-utils imagemagick procps
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "ponderix: need root (or sudo) to run: $*" >&2
        return 1
    fi
}

# ensure_packages PKG... installs the packages that are not installed yet; when all
# are there it touches nothing, so a second run costs no time.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "ponderix: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! as_root apt-get install -y --no-install-recommends "${missing[@]}"; then
        as_root apt-get update
        as_root apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# build_preset NAME configures and builds one CMake preset.
build_preset() {
    cmake --preset "$1" -S "$PONDERIX_ROOT" >/dev/null
    cmake --build --preset "$1" -j "$(nproc)"
}
