#!/usr/bin/env bash
# Installs what is missing, builds into build/, and starts Dividra.
set -euo pipefail
DIVIDRA_ROOT=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/setup.sh
source "$DIVIDRA_ROOT/tools/setup.sh"

dividra_install_packages
dividra_build "$DIVIDRA_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIVIDRA_BUILD_TESTS=OFF

cli="$DIVIDRA_ROOT/build/bin/dividra-cli"
echo "Built $cli"
echo "The window is not built yet; split planning works from the terminal:"
echo
"$cli" --help
if [ $# -gt 0 ]; then
    echo
    "$cli" plan "$1"
fi
