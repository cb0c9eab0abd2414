#!/usr/bin/env bash
# Start-up time of the updater: from exec until its window shows its first
# painted frame on a private X server (Xvfb, the real X11 path), in a demo game folder
# whose manifest comes from a loopback release server. Side by side, and
# alternating, with bench_idle_window, which brings up SDL and our surface
# with one empty window of the updater's size and nothing else: the
# difference is what the updater's own start-up costs (service modules,
# scheme, fonts, layout file). Also measures the idle CPU of the real
# updater window after start-up, and reports peak memory of both.
#
# Knobs (environment): RUNS (5), IDLE_SECONDS (10), BUILD_DIR (build),
# BENCH_RESULTS (file the medians are appended to; printed when unset).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
BUILD_DIR=$(cd "${BUILD_DIR:-$root/build}" && pwd)
RUNS=${RUNS:-5}
IDLE_SECONDS=${IDLE_SECONDS:-10}
FIRST_WINDOW=$BUILD_DIR/bench/bench_first_window
BARE_WINDOW=$BUILD_DIR/bench/bench_idle_window
# shellcheck source=bench/lib.sh
. "$here/lib.sh"

for program in "$FIRST_WINDOW" "$BARE_WINDOW" "$BUILD_DIR/scripts/release_server/release_server"; do
    [ -x "$program" ] || { echo "build it first: $program" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "missing: Xvfb (scripts/install-deps.sh installs it)" >&2; exit 1; }

bench_begin startup-bench "${TMPDIR:-/tmp}"
SERVER_PID="" XVFB_PID=""
cleanup() {
    bench_stop SERVER_PID
    bench_stop XVFB_PID
    rm -rf "$BENCH_WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$BENCH_WORK/demo/releases"
bench_start_release_server "$BENCH_WORK/demo/releases"
"$root/scripts/demo/make_demo.sh" "$BUILD_DIR" "$BENCH_WORK/demo" "$SERVER_PORT"
game=$BENCH_WORK/demo/game
bench_start_xvfb

# One sample: "mapped_ms=.. window_ms=.. idle_cpu_pct=.. max_rss_kib=.." from
# bench_first_window, kept as seconds, percent and KiB.
sample() {  # samples-prefix idle-seconds program...
    local prefix=$1 idle=$2 line
    shift 2
    line=$(cd "$game" && SDL_VIDEODRIVER=x11 "$FIRST_WINDOW" --idle-seconds "$idle" -- "$@")
    echo "$line" | sed -n 's/.*window_ms=\([0-9.]*\).*/\1/p' | awk '{ print $1 / 1000 }' >>"$prefix.t"
    echo "$line" | sed -n 's/.*max_rss_kib=\([0-9]*\).*/\1/p' >>"$prefix.m"
    echo "$line" | sed -n 's/.*idle_cpu_pct=\([0-9.]*\) .*/\1/p' >>"$prefix.idle"
}

echo "== start-up: updater vs bare window, $RUNS runs (after one untimed run of each)" >&2
sample "$BENCH_WORK/warm" 0 ./updater
sample "$BENCH_WORK/warm" 0 "$BARE_WINDOW" --seconds 600
for run in $(seq "$RUNS"); do
    bench_in_turn "$run" 'sample "$BENCH_WORK/updater" 0 ./updater' 'sample "$BENCH_WORK/bare" 0 "$BARE_WINDOW" --seconds 600'
done
bench_record startup window "demo game folder: modules, scheme, fonts, layout, manifest" updater "$BENCH_WORK/updater"
bench_record startup window "SDL, our surface, one empty window" bare "$BENCH_WORK/bare"

echo "== idle CPU of the updater window, $IDLE_SECONDS s after start-up" >&2
sample "$BENCH_WORK/idle" "$IDLE_SECONDS" ./updater
printf 'idle\twindow\tupdater window in a demo folder, after start-up\tx11\t%s\t%s\t%s\n' \
    "$(cat "$BENCH_WORK/idle.idle")" "$(cat "$BENCH_WORK/idle.m")" "$IDLE_SECONDS" >>"$BENCH_RESULTS"

if [ -n "$render_at_end" ]; then
    python3 "$here/render_tables.py" "$BENCH_RESULTS"
fi
