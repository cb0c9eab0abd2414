#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (FUZZ_SECONDS, default 60) from its committed seed corpus, as many at once
# as there are cores (FUZZ_JOBS). Any finding fails the script: a crash, a
# failed check, a leak, an input that takes longer than FUZZ_TIMEOUT seconds
# (default 10) or a process above 2 GB. The input that caused it is left in
# build-fuzz/findings/, the full output of each run in build-fuzz/logs/.
set -eu
cd "$(dirname "$0")/.."

SECONDS_EACH="${FUZZ_SECONDS:-60}"
TIMEOUT="${FUZZ_TIMEOUT:-10}"
JOBS="${FUZZ_JOBS:-$(nproc)}"
TARGETS="keyvalues layout scheme tokens manifest zip"
BUILD=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUPD_FUZZ=ON
# shellcheck disable=SC2046 # one word per target
cmake --build "$BUILD" --parallel "$JOBS" --target $(for target in $TARGETS; do printf 'fuzz_%s ' "$target"; done)

mkdir -p "$BUILD/findings" "$BUILD/logs"

# Runs one target in the background of this shell, so that it can be
# waited for; its process id is left in started_pid.
start_target() {
    target="$1"
    work="$BUILD/corpus-$target"
    mkdir -p "$work"
    "$BUILD/tests/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout="$TIMEOUT" -rss_limit_mb=2048 \
        -artifact_prefix="$BUILD/findings/$target-" -print_final_stats=1 "$work" "tests/fuzz/corpus/$target" \
        >"$BUILD/logs/$target.log" 2>&1 &
    started_pid=$!
}

# Waits for a target and reports it: the statistics when it found nothing,
# the end of its output when it did.
finish_target() {
    target="$1"
    pid="$2"
    if wait "$pid"; then
        echo "fuzz: $target found nothing"
        grep -E '^(Done|stat::)' "$BUILD/logs/$target.log" || true
        return 0
    fi
    echo "fuzz: $target FOUND A FAULT (full output in $BUILD/logs/$target.log)"
    tail -n 60 "$BUILD/logs/$target.log"
    return 1
}

failed=""
set -- $TARGETS
while [ $# -gt 0 ]; do
    batch=""
    count=0
    while [ $# -gt 0 ] && [ "$count" -lt "$JOBS" ]; do
        echo "fuzz: $1 for ${SECONDS_EACH}s"
        start_target "$1"
        batch="$batch $1:$started_pid"
        count=$((count + 1))
        shift
    done
    for entry in $batch; do
        finish_target "${entry%%:*}" "${entry#*:}" || failed="$failed ${entry%%:*}"
    done
done

if [ -n "$failed" ]; then
    echo "fuzz: findings in:$failed"
    exit 1
fi
echo "fuzz: every target ran ${SECONDS_EACH}s without a finding"
