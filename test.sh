#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/, and runs the whole test suite.
set -euo pipefail
DIVIDRA_ROOT=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/setup.sh
source "$DIVIDRA_ROOT/tools/setup.sh"

dividra_install_packages
dividra_build "$DIVIDRA_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DDIVIDRA_SANITIZE=ON \
    -DDIVIDRA_WERROR=ON
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$DIVIDRA_ROOT/build-asan" --output-on-failure --parallel "$(nproc)" "$@"
