#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (FUZZ_SECONDS, default 60) from its seed corpus. A crash fails the script
# and leaves the input in build-fuzz/findings/.
set -eu
cd "$(dirname "$0")/.."

SECONDS_EACH="${FUZZ_SECONDS:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUPD_FUZZ=ON -DUPD_TESTS=OFF
cmake --build build-fuzz --parallel "$(nproc)" --target fuzz_keyvalues

mkdir -p build-fuzz/findings
for target in keyvalues; do
    work="build-fuzz/corpus-$target"
    mkdir -p "$work"
    echo "fuzz: $target for ${SECONDS_EACH}s"
    "build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -artifact_prefix=build-fuzz/findings/ \
        -print_final_stats=1 "$work" "tests/fuzz/corpus/$target"
done
