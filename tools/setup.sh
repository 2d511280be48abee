#!/usr/bin/env bash
# Installs the Debian packages Dividra needs to build and test, when any is missing.
# Sourced by run.sh and test.sh; quick when everything is there.
set -euo pipefail

DIVIDRA_PACKAGES=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev
    fonts-liberation2
    dosfstools
    nettle-dev zlib1g-dev libgf-complete-dev
    par2 # a peer the tests hold recovery files against
    librsvg2-bin
    desktop-file-utils appstream
)

dividra_missing_packages() {
    local missing=() package
    for package in "${DIVIDRA_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    echo "${missing[@]:-}"
}

dividra_install_packages() {
    local missing
    missing=$(dividra_missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing missing packages: $missing"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "Missing packages ($missing) and no root rights to install them." >&2
            exit 1
        fi
    fi
    # shellcheck disable=SC2086
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # shellcheck disable=SC2086
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

# Configures and builds one build folder. Arguments: folder, then extra cmake options. The
# options are passed every time, so a folder configured by an older checkout gets new ones.
dividra_build() {
    local folder=$1
    shift
    cmake -S "$DIVIDRA_ROOT" -B "$folder" -G Ninja "$@" >/dev/null
    cmake --build "$folder" --parallel "$(nproc)"
}
