#!/usr/bin/env bash
# Runs a file checker that may not be installed: skipped (77) without it, failed when it fails or,
# with --silent, when it says anything at all. Usage: checker.sh [--silent] TOOL [ARGUMENT...]
set -uo pipefail
silent=no
if [ "${1:-}" = --silent ]; then
    silent=yes
    shift
fi
if ! command -v "$1" >/dev/null 2>&1; then
    echo "$1 is not installed"
    exit 77
fi
said=$("$@" 2>&1)
status=$?
printf '%s\n' "$said"
if [ "$status" -ne 0 ] || { [ "$silent" = yes ] && [ -n "$said" ]; }; then
    exit 1
fi
