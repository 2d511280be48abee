#!/usr/bin/env bash
# dividra-cli started with its standard input closed: the source must never become descriptor
# 0, so the first prompt meets the end of input, the split is cancelled (exit 3) and nothing is
# written. Usage: closed-stdin.sh DIVIDRA_CLI
set -euo pipefail
cli=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/dividra-stdin.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/fd"
# Lines a prompt would take as answers, were the source read as the input.
{ yes ok || true; } | head -c 300000 >"$work/data.zip"

status=0
DIVIDRA_DRIVES="a=$work/fd,removable;c=/,fixed" DIVIDRA_REGISTRY="$work/registry.reg" \
    "$cli" split "$work/data.zip" --floppy a: <&- >"$work/said" 2>&1 || status=$?

fail() {
    echo "$1"
    cat "$work/said"
    exit 1
}
[ "$status" -eq 3 ] || fail "exit status $status, expected 3 (cancelled)"
[ "$(grep -c 'OK/Cancel' "$work/said")" -eq 1 ] || fail "more than the first prompt:"
[ -z "$(ls -A "$work/fd")" ] || fail "written into the drive: $(ls "$work/fd")"
echo "closed stdin reads as end of input"
