#!/usr/bin/env bash
# dividra-cli's streams as a shell sees them: a full stdout is a write error (exit 1), a question
# is asked on stderr while stdout goes to a file, and no arguments at all is bad usage (exit 2).
# Usage: streams.sh DIVIDRA_CLI
set -euo pipefail
cli=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/dividra-streams.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/fd"
printf 'abc' >"$work/data.zip"
export DIVIDRA_DRIVES="a=$work/fd,removable;c=/,fixed" DIVIDRA_REGISTRY="$work/registry.reg"

fail() {
    echo "$1"
    for f in out err; do [ -f "$work/$f" ] && { echo "--- $f:"; cat "$work/$f"; }; done
    exit 1
}

# Runs dividra-cli with stdout and stderr to files and no input; sets $status.
run() {
    status=0
    "$cli" "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
}

for arguments in "--help" "--version" "plan $work/data.zip" "drives"; do
    status=0
    # shellcheck disable=SC2086
    "$cli" $arguments >/dev/full 2>"$work/err" </dev/null || status=$?
    [ "$status" -eq 1 ] || fail "$arguments > /dev/full: exit status $status, expected 1"
    grep -qx 'dividra-cli: write error: No space left on device' "$work/err" ||
        fail "$arguments > /dev/full: no write error on stderr"
done

run split "$work/data.zip" --floppy a:
[ "$status" -eq 3 ] || fail "floppy split without input: exit status $status, expected 3"
[ ! -s "$work/out" ] || fail "the prompt went to stdout"
grep -qx '\[OK/Cancel\]' "$work/err" || fail "no prompt on stderr"

run
[ "$status" -eq 2 ] || fail "no arguments: exit status $status, expected 2"
[ ! -s "$work/out" ] || fail "no arguments: something on stdout"
grep -q "Try 'dividra-cli --help'" "$work/err" || fail "no arguments: no pointer to --help"
echo "stdout and stderr as expected"
