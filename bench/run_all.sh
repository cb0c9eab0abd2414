#!/usr/bin/env bash
# The whole benchmark report in one run: builds what it measures, then runs
#   engine_bench.sh   download, extraction and whole update against curl,
#                     unzip and bsdtar, with peak memory, as archives grow
#   startup_bench.sh  the updater's start-up and its idle window
#   idle_cpu.sh       idle CPU and wake-up latency of one bare window
#   windows_bench.sh  with WINDOWS_BUILD_DIR: the Windows build under Wine
#                     beside the Linux build (engine, start-up, idle CPU)
# and prints Markdown tables of the medians, also written to RESULTS_MD.
#
# Knobs (environment), besides those of the scripts above (SIZES_MIB,
# MEMBER_COUNTS, RUNS, RUNS_LARGE, IDLE_SECONDS, BENCH_TMP):
#   BUILD_DIR   (build)             build folder; configured if missing
#   QUICK=1                         small sizes and few runs, a smoke check;
#                                   prints only, unless RESULTS_MD is set
#   RESULTS_MD  (bench/results.md)  where the report is written
#   WINDOWS_BUILD_DIR  (none)       a Windows build to measure under Wine (and
#                                   its knob WINDOWS_SIZES_MIB, 200); configured
#                                   if missing, with the dependencies in
#                                   UPD_WINDOWS_DEPS (~/.cache/quill-updater/windows-deps)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$root/build}
if [ "${QUICK:-0}" = 1 ]; then
    export SIZES_MIB=${SIZES_MIB:-1 4} MEMBER_COUNTS=${MEMBER_COUNTS:-20 200}
    export RUNS=${RUNS:-3} IDLE_SECONDS=${IDLE_SECONDS:-2} WINDOWS_SIZES_MIB=${WINDOWS_SIZES_MIB:-4}
    RESULTS_MD=${RESULTS_MD:-}
else
    RESULTS_MD=${RESULTS_MD:-$here/results.md}
fi
export RUNS=${RUNS:-5} IDLE_SECONDS=${IDLE_SECONDS:-10}
export SIZES_MIB=${SIZES_MIB:-10 100 200 1024} MEMBER_COUNTS=${MEMBER_COUNTS:-100 10000 50000}
export RUNS_LARGE=${RUNS_LARGE:-$RUNS} WINDOWS_SIZES_MIB=${WINDOWS_SIZES_MIB:-200}

[ -f "$BUILD_DIR/build.ninja" ] ||
    cmake -S "$root" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The machine is shared: two jobs at most.
cmake --build "$BUILD_DIR" --parallel 2 --target bench_engine bench_idle_window bench_first_window \
    updater updfs updvgui2 stage_data release_server game_version qlm-release \
    game_module_current game_module_next game_module_beta >/dev/null
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)
export BUILD_DIR
if [ -n "${WINDOWS_BUILD_DIR:-}" ]; then
    [ -f "$WINDOWS_BUILD_DIR/build.ninja" ] ||
        cmake -S "$root" -B "$WINDOWS_BUILD_DIR" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
            -DUPD_WINDOWS_DEPS="${UPD_WINDOWS_DEPS:-$HOME/.cache/quill-updater/windows-deps}" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$WINDOWS_BUILD_DIR" --parallel 2 --target bench_engine updater updfs updvgui2 stage_data \
        game_module_current game_module_next game_module_beta >/dev/null
    WINDOWS_BUILD_DIR=$(cd "$WINDOWS_BUILD_DIR" && pwd)
    export WINDOWS_BUILD_DIR
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/run-all-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export BENCH_RESULTS=$scratch/results.tsv
: >"$BENCH_RESULTS"

load() { cut -d ' ' -f 1-3 /proc/loadavg; }
started=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(load)
start_seconds=$(date +%s)

"$here/engine_bench.sh"
"$here/startup_bench.sh"

echo "== idle CPU of a bare window (idle_cpu.sh)" >&2
"$here/idle_cpu.sh" "$BUILD_DIR" "$IDLE_SECONDS" | tee "$scratch/idle.txt" >&2
# "driver x11: 0.00 s CPU over 10.00 s = 0.020% of one core", three times:
# idle on X11, idle on offscreen, X11 with a worker posting.
sed -n 's/^driver \([a-z0-9]*\): .* over \([0-9.]*\) s = \([0-9.]*\)% .*/\1 \2 \3/p' "$scratch/idle.txt" |
    awk -v OFS='\t' 'NR <= 2 { print "idle", "window", "bare window, idle", $1, $3, "-", $2 }
                     NR == 3 { print "idle", "window", "bare window, a worker posting every 100 ms", $1, $3, "-", $2 }' \
    >>"$BENCH_RESULTS"

if [ -n "${WINDOWS_BUILD_DIR:-}" ]; then
    "$here/windows_bench.sh"
fi

load_after=$(load)
elapsed=$(( $(date +%s) - start_seconds ))

{
    echo "## Results"
    echo
    echo "Measured $started on $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
        "$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) of memory;" \
        "load average (1, 5, 15 min) $load_before before and $load_after after; the whole run took $((elapsed / 60)) min."
    echo "Sizes: $SIZES_MIB MiB unpacked; members: $MEMBER_COUNTS; $RUNS runs per tool and case" \
        "($RUNS_LARGE for 1 GiB and more), medians."
    echo "Archives served from and unpacked to $(df --output=fstype "${BENCH_TMP:-${TMPDIR:-/tmp}}" | tail -n 1)" \
        "(${BENCH_TMP:-${TMPDIR:-/tmp}})."
    echo "Peers: $(curl --version | head -n 1 | cut -d ' ' -f 1-2), $(unzip -v | head -n 1 | cut -d ' ' -f 1-2)," \
        "$(bsdtar --version | cut -d ' ' -f 1-2), $(nginx -v 2>&1 | sed 's/.*: //') serving."
    if [ -n "${WINDOWS_BUILD_DIR:-}" ]; then
        echo "The Windows build (cross-built with mingw-w64) ran under $(wine --version 2>/dev/null)" \
            "beside the Linux build: $WINDOWS_SIZES_MIB MiB unpacked, $RUNS runs each."
    fi
    echo
    python3 "$here/render_tables.py" "$BENCH_RESULTS"
    echo "A worker's post waking the waiting loop (bare window, X11):" \
        "$(sed -n 's/^posts: \([0-9]*\), wake-up latency /\1 posts, /p' "$scratch/idle.txt")."
} >"$scratch/results.md"

cat "$scratch/results.md"
if [ -n "$RESULTS_MD" ]; then
    cp "$scratch/results.md" "$RESULTS_MD"
    echo "written to $RESULTS_MD" >&2
fi
