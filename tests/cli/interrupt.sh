#!/usr/bin/env bash
# A re-split stopped by SIGINT, SIGTERM or SIGHUP ends as a failed split does: exit 3, the
# segments kept, no descriptor over them, the stop said on stderr.
# Usage: interrupt.sh DIVIDRA_CLI
set -euo pipefail
cli=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/dividra-interrupt.XXXXXX")
trap 'rm -rf "$work"' EXIT
export DIVIDRA_DRIVES="c=/,fixed" DIVIDRA_REGISTRY="$work/registry.reg"

fail() {
    echo "$1"
    cat "$work/said"
    exit 1
}
for signal in INT TERM HUP; do
    rm -rf "$work/out" && mkdir "$work/out"
    { yes a || true; } | head -c 8M >"$work/data.bin"
    "$cli" split "$work/data.bin" --to "$work/out" --size 256K >/dev/null
    { yes b || true; } | head -c 200M >"$work/data.bin"
    "$cli" split "$work/data.bin" --to "$work/out" --size 256K --flush=buffer \
        >"$work/said" 2>&1 &
    pid=$!
    # The split takes the old descriptor away before its first segment: it is copying now,
    # with the signal caught.
    for _ in $(seq 2000); do
        [ -e "$work/out/data.kpn" ] || break
        sleep 0.005
    done
    kill "-$signal" "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 3 ] || fail "SIG$signal: exit status $status, expected 3"
    [ ! -e "$work/out/data.kpn" ] || fail "SIG$signal: a descriptor is left over the mixed set"
    grep -q "Interrupted." "$work/said" || fail "SIG$signal: the stop isn't said"
    grep -q "no descriptor file was written" "$work/said" || fail "SIG$signal: no stop message"
done
echo "an interrupted split leaves no descriptor"
