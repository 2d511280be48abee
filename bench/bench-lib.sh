# What the benchmarks share: timing, medians, paired comparisons against a goal and peak memory.
# Sourced after $work, $cli, $SIZE_MB, $PAIRS and $peak_log are set; compare sets missed=1 when a
# goal is missed.

# Seconds, with milliseconds, that the command given takes; its output goes to $work/log.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" </dev/null >"$work/log" 2>&1 || {
        echo "Failed: $*" >&2
        cat "$work/log" >&2
        exit 1
    }
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}

median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

fresh() {
    rm -rf "$work/out"
    mkdir "$work/out"
    sync
}

# Runs dividra-cli under /usr/bin/time -v and notes its peak memory under the name given first.
timed_cli() {
    local name=$1
    shift
    /usr/bin/time -v -o "$work/time.log" "$cli" "$@"
    awk -F': ' -v name="$name" '/Maximum resident set size/ { print name, $2 }' \
        "$work/time.log" >>"$peak_log"
}

# PAIRS runs of each of two commands, taking turns at going first; prints each one's times and
# median, and the ratio of the medians against the goal.
compare() {
    local title=$1 goal=$2 first=$3 second=$4 i a=() b=()
    for ((i = 1; i <= PAIRS; i++)); do
        if ((i % 2)); then
            fresh
            a+=("$(seconds "$first")")
        fi
        fresh
        b+=("$(seconds "$second")")
        if ((i % 2 == 0)); then
            fresh
            a+=("$(seconds "$first")")
        fi
    done
    local ma mb
    ma=$(median "${a[@]}")
    mb=$(median "${b[@]}")
    echo "$title"
    printf '    %-16s %s  median %s s\n' "$first:" "${a[*]}" "$ma" "$second:" "${b[*]}" "$mb"
    awk -v a="$ma" -v b="$mb" -v goal="$goal" -v mb_size="$SIZE_MB" 'BEGIN {
        printf "    ratio %.2f (goal at most %.2f): %s; %.1f MB/s against %.1f MB/s\n",
            a / b, goal, a / b <= goal ? "met" : "MISSED", mb_size / a, mb_size / b }'
    [ "$(awk -v a="$ma" -v b="$mb" -v goal="$goal" 'BEGIN { print a / b <= goal }')" = 1 ] ||
        missed=1
}

