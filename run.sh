#!/usr/bin/env bash
# Installs what is missing, builds into build/, and starts Dividra (with FILE picked, if given).
set -euo pipefail
DIVIDRA_ROOT=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/setup.sh
source "$DIVIDRA_ROOT/tools/setup.sh"

dividra_install_packages
dividra_build "$DIVIDRA_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIVIDRA_BUILD_TESTS=OFF

bin="$DIVIDRA_ROOT/build/bin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display to show Dividra on: run it under a virtual one with 'xvfb-run $bin/dividra', or use '$bin/dividra-cli --help' from the terminal."
    exit 1
fi
exec "$bin/dividra" "$@"
