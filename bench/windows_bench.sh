#!/usr/bin/env bash
# The Windows build under Wine beside the Linux build, on the same machine,
# in one run, alternating between the two (the order flips every run),
# medians reported:
#   engine        bench_engine.exe under Wine vs bench_engine: start and exit
#                 alone, download, extraction and a whole update of the same
#                 archive, from the same loopback nginx into the same kind of
#                 folder, with peak memory; the download is Wine's sockets
#                 and file writes, the extraction its file layer alone
#   start-up      exec to the first painted frame of the real updater in a
#                 demo game folder: `wine updater.exe` with the Wine prefix
#                 already running (warm) and with nothing of it running
#                 (cold), vs the Linux updater
#   idle CPU      the updater window after start-up, the updater process, and
#                 beside it the X server and, under Wine, wineserver and the
#                 prefix's other processes (also measured with no window)
# The first, untimed pass checks that the Windows build downloads the served
# file byte for byte and extracts and updates exactly what the Linux build
# writes.
#
# Knobs (environment):
#   WINDOWS_BUILD_DIR   (required)     the cross-built Windows tree
#   BUILD_DIR           (build)        the Linux tree
#   WINDOWS_SIZES_MIB   (200)          unpacked archive sizes (4 with QUICK=1)
#   RUNS                (5)            runs per build and case (3 with QUICK=1)
#   IDLE_SECONDS        (10)           how long idle CPU is measured
#   BENCH_TMP           (TMPDIR or /tmp)  where archives are served from and
#                                      unpacked to
#   WINEPREFIX          (WINDOWS_BUILD_DIR/wineprefix)  made when missing
#   BENCH_RESULTS       (none)         file the medians are appended to;
#                                      without it the tables are printed
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
BUILD_DIR=$(cd "${BUILD_DIR:-$root/build}" && pwd)
[ -n "${WINDOWS_BUILD_DIR:-}" ] || { echo "set WINDOWS_BUILD_DIR to the Windows build" >&2; exit 2; }
WINDOWS_BUILD_DIR=$(cd "$WINDOWS_BUILD_DIR" && pwd)
if [ "${QUICK:-0}" = 1 ]; then
    WINDOWS_SIZES_MIB=${WINDOWS_SIZES_MIB:-4} RUNS=${RUNS:-3} IDLE_SECONDS=${IDLE_SECONDS:-2}
fi
WINDOWS_SIZES_MIB=${WINDOWS_SIZES_MIB:-200}
RUNS=${RUNS:-5}
IDLE_SECONDS=${IDLE_SECONDS:-10}
LINUX_ENGINE=$BUILD_DIR/bench/bench_engine
WINDOWS_ENGINE=$WINDOWS_BUILD_DIR/bench/bench_engine.exe
FIRST_WINDOW=$BUILD_DIR/bench/bench_first_window
# shellcheck source=bench/lib.sh
. "$here/lib.sh"

for tool in wine wineserver wineboot nginx curl zip Xvfb python3 bc /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
for program in "$LINUX_ENGINE" "$WINDOWS_ENGINE" "$FIRST_WINDOW" "$BUILD_DIR/scripts/release_server/release_server"; do
    [ -x "$program" ] || [ -f "$program" ] || { echo "build it first: $program" >&2; exit 1; }
done

export WINEPREFIX=${WINEPREFIX:-$WINDOWS_BUILD_DIR/wineprefix} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# bench_engine.exe runs from the build tree; the stage folder holds the DLLs
# it imports, as the shipped folder does for the updater.
export WINEPATH="Z:$WINDOWS_BUILD_DIR/stage"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    DISPLAY='' wineboot --init >/dev/null 2>&1
    wineserver --wait
fi

bench_begin windows-bench
NGINX_PID="" XVFB_PID="" SERVER_PID="" LINUX_SERVER_PID="" WINDOWS_SERVER_PID="" KEEPER_START_PID=""
cleanup() {
    set +e
    stop_prefix
    bench_stop NGINX_PID
    bench_stop LINUX_SERVER_PID
    bench_stop WINDOWS_SERVER_PID
    bench_stop XVFB_PID
    rm -rf "$BENCH_WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The Wine prefix is kept running between runs by one idle console process
# of its own: cmd waiting on a pipe that never delivers. It is ended as the
# system would end it (SIGTERM, which Wine turns into terminating the
# process), and the prefix then shuts itself down. wineserver itself is
# never killed: its clients would be left behind.
# The keeper's Windows process (Wine starts it beside the process it was
# asked to run); empty when it is not running.
find_keeper() {
    local pid
    for pid in $(prefix_processes); do
        [ "$(cat "/proc/$pid/comm" 2>/dev/null)" != cmd.exe ] || { echo "$pid"; return; }
    done
}
start_prefix() {
    local tries=0
    mkfifo "$BENCH_WORK/keeper"
    wine cmd.exe <>"$BENCH_WORK/keeper" >/dev/null 2>&1 &
    KEEPER_START_PID=$!
    until [ -n "$(find_keeper)" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 300 ] || { echo "the Wine prefix's keeper did not start" >&2; return 1; }
        sleep 0.1
    done
}
stop_prefix() {
    local tries=0 keeper
    keeper=$(find_keeper)
    if [ -n "$keeper" ]; then
        kill "$keeper"
    fi
    if [ -n "$KEEPER_START_PID" ]; then
        wait "$KEEPER_START_PID" 2>/dev/null || true
        KEEPER_START_PID=""
        rm -f "$BENCH_WORK/keeper"
    fi
    wineserver --wait
    # The prefix's processes go a moment after their server.
    while [ -n "$(prefix_processes)" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 100 ] || { echo "the Wine prefix did not shut down" >&2; return 1; }
        sleep 0.1
    done
}

# A path of this machine as Wine's Z: drive names it.
wine_path() { printf 'Z:%s' "$1" | tr / '\\'; }

# CPU seconds (user and system, all threads) a process has used so far.
cpu_seconds() {
    awk -v tick="$(getconf CLK_TCK)" '{ sub(/.*\) /, ""); print ($12 + $13) / tick }' "/proc/$1/stat"
}

# The running processes of this Wine prefix, wineserver first. This
# script's other children carry WINEPREFIX too; Wine's own are wineserver
# and the .exe processes.
prefix_processes() {
    local dir pid server="" others=""
    for dir in /proc/[0-9]*; do
        pid=${dir#/proc/}
        { tr '\0' '\n' <"$dir/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null || continue
        case $(cat "$dir/comm" 2>/dev/null) in
            wineserver*) server=$pid ;;
            *.exe) others="$others $pid" ;;
        esac
    done
    echo "$server$others"
}

# ---- the engine: the same archive, server and folder kind for both builds

started=$(date -u '+%Y-%m-%d %H:%M UTC')
start_seconds=$(date +%s)
load_before=$(cut -d ' ' -f 1-3 /proc/loadavg)

mkdir -p "$BENCH_WORK/www" "$BENCH_WORK/dl" "$BENCH_WORK/samples"
bench_start_nginx "$BENCH_WORK/www"
start_prefix
URL="http://127.0.0.1:$NGINX_PORT/release.zip"
ARCHIVE=$BENCH_WORK/www/release.zip

run_linux_start() {
    # shellcheck disable=SC2016
    bench_measure "$1" sh -c '"$@" >/dev/null 2>&1; [ $? -eq 2 ]' sh "$LINUX_ENGINE"
}
run_wine_start() {
    # shellcheck disable=SC2016
    bench_measure "$1" sh -c '"$@" >/dev/null 2>&1; [ $? -eq 2 ]' sh wine "$WINDOWS_ENGINE"
}
run_linux_download() {
    bench_measure "$1" "$LINUX_ENGINE" download "$URL" "$BENCH_WORK/dl/release.zip" "$ARCHIVE_BYTES"
    rm -f "$BENCH_WORK/dl/release.zip"
}
run_wine_download() {
    bench_measure "$1" wine "$WINDOWS_ENGINE" download "$URL" "$(wine_path "$BENCH_WORK/dl/release.zip")" \
        "$ARCHIVE_BYTES"
    rm -f "$BENCH_WORK/dl/release.zip"
}
run_linux_extract() {
    mkdir "$BENCH_WORK/x"
    bench_measure "$1" "$LINUX_ENGINE" extract "$ARCHIVE" "$BENCH_WORK/x"
    rm -rf "$BENCH_WORK/x"
}
run_wine_extract() {
    mkdir "$BENCH_WORK/x"
    bench_measure "$1" wine "$WINDOWS_ENGINE" extract "$(wine_path "$ARCHIVE")" "$(wine_path "$BENCH_WORK/x")"
    rm -rf "$BENCH_WORK/x"
}
run_linux_update() {
    mkdir "$BENCH_WORK/game"
    bench_measure "$1" "$LINUX_ENGINE" update "$URL" "$ARCHIVE_BYTES" "$BENCH_WORK/game"
    rm -rf "$BENCH_WORK/game"
}
run_wine_update() {
    mkdir "$BENCH_WORK/game"
    bench_measure "$1" wine "$WINDOWS_ENGINE" update "$URL" "$ARCHIVE_BYTES" "$(wine_path "$BENCH_WORK/game")"
    rm -rf "$BENCH_WORK/game"
}

# Runs a command untimed, showing its output only when it fails.
quiet() {
    "$@" >"$BENCH_WORK/quiet.log" 2>&1 || { echo "failed: $*" >&2; cat "$BENCH_WORK/quiet.log" >&2; return 1; }
}

# Untimed: the Windows build writes what the Linux build writes, and the
# archive is in the page cache for both.
check_outputs() {
    local check="$BENCH_WORK/check" kind
    rm -rf "$check"
    mkdir -p "$check/dl"
    quiet wine "$WINDOWS_ENGINE" download "$URL" "$(wine_path "$check/dl/release.zip")" "$ARCHIVE_BYTES"
    cmp -s "$check/dl/release.zip" "$ARCHIVE" || { echo "the Windows build's download differs" >&2; exit 1; }
    rm -rf "$check/dl"
    for kind in extract update; do
        mkdir -p "$check/linux" "$check/wine"
        if [ "$kind" = extract ]; then
            quiet "$LINUX_ENGINE" extract "$ARCHIVE" "$check/linux"
            quiet wine "$WINDOWS_ENGINE" extract "$(wine_path "$ARCHIVE")" "$(wine_path "$check/wine")"
        else
            quiet "$LINUX_ENGINE" update "$URL" "$ARCHIVE_BYTES" "$check/linux"
            quiet wine "$WINDOWS_ENGINE" update "$URL" "$ARCHIVE_BYTES" "$(wine_path "$check/wine")"
        fi
        diff -r -q "$check/linux" "$check/wine" ||
            { echo "the Windows build's $kind differs from the Linux build's" >&2; exit 1; }
        rm -rf "$check/linux" "$check/wine"
    done
    rm -rf "$check"
}

# Alternating rounds of one figure.
alternate() {  # figure label
    local run
    rm -f "$BENCH_WORK/samples/"*
    for run in $(seq "$RUNS"); do
        bench_in_turn "$run" "run_wine_$1 \"\$BENCH_WORK/samples/wine\"" "run_linux_$1 \"\$BENCH_WORK/samples/linux\""
    done
    bench_record "wine_$1" wine "$2" wine "$BENCH_WORK/samples/wine"
    bench_record "wine_$1" wine "$2" linux "$BENCH_WORK/samples/linux"
}

echo "== Windows build under Wine vs Linux build: start and exit, $RUNS runs" >&2
alternate start "no work: the usage text"
for mib in $WINDOWS_SIZES_MIB; do
    bench_make_archive size "$mib"
    ARCHIVE_BYTES=$(stat -c %s "$ARCHIVE")
    label=$(bench_archive_label "$(bench_size_label "$mib")" "$ARCHIVE")
    echo "== Windows build under Wine vs Linux build: $label, $RUNS runs" >&2
    check_outputs
    for figure in download extract update; do
        alternate "$figure" "$label"
    done
done
rm -f "$ARCHIVE"
bench_stop NGINX_PID

# ---- the updater window: start-up, warm and cold prefix, and idle CPU

mkdir -p "$BENCH_WORK/linux/releases" "$BENCH_WORK/windows/releases"
# Both demo folders' releases are signed by the Linux build's tool.
export QLM_RELEASE="$BUILD_DIR/stage/tools/qlm-release"
bench_start_release_server "$BENCH_WORK/linux/releases"
LINUX_SERVER_PID=$SERVER_PID
"$root/scripts/demo/make_demo.sh" "$BUILD_DIR" "$BENCH_WORK/linux" "$SERVER_PORT"
bench_start_release_server "$BENCH_WORK/windows/releases"
WINDOWS_SERVER_PID=$SERVER_PID
"$root/scripts/demo/make_demo.sh" "$WINDOWS_BUILD_DIR" "$BENCH_WORK/windows" "$SERVER_PORT"
SERVER_PID=""
bench_start_xvfb

# One sample of bench_first_window in a demo game folder, kept as seconds to
# the first painted frame, KiB of peak memory, and the idle line. The
# updater's own output (its branch list) is left out.
sample() {  # samples-prefix folder idle-seconds [--also-pid PID...] -- program...
    local prefix=$1 folder=$2 idle=$3 line
    shift 3
    line=$(cd "$folder" && "$FIRST_WINDOW" --idle-seconds "$idle" "$@" | grep -o 'mapped_ms=.*')
    echo "$line" | sed -n 's/.*window_ms=\([0-9.]*\).*/\1/p' | awk '{ print $1 / 1000 }' >>"$prefix.t"
    echo "$line" | sed -n 's/.*max_rss_kib=\([0-9]*\).*/\1/p' >>"$prefix.m"
    echo "$line" >"$prefix.line"
}
# The Linux build on the real X11 path; the Windows build's SDL knows only
# its own system's driver, which Wine puts on the same X server.
linux_window() { sample "$1" "$BENCH_WORK/linux/game" "${2:-0}" "${@:3}" -- env SDL_VIDEODRIVER=x11 ./updater; }
wine_window() { sample "$1" "$BENCH_WORK/windows/game" "${2:-0}" "${@:3}" -- env -u SDL_VIDEODRIVER wine updater.exe; }

rm -f "$BENCH_WORK/samples/"*
echo "== start-up with the Wine prefix running (warm), $RUNS runs after one untimed run of each" >&2
linux_window "$BENCH_WORK/samples/untimed"
wine_window "$BENCH_WORK/samples/untimed"
for run in $(seq "$RUNS"); do
    bench_in_turn "$run" 'wine_window "$BENCH_WORK/samples/warm"' 'linux_window "$BENCH_WORK/samples/linux"'
done

echo "== idle CPU of the updater window, $IDLE_SECONDS s after start-up" >&2
linux_window "$BENCH_WORK/samples/idle_linux" "$IDLE_SECONDS" --also-pid "$XVFB_PID"
# The prefix's processes as a started window leaves them (explorer runs
# from the first window on).
read -r -a prefix_pids <<<"$(prefix_processes)"
watched=("${prefix_pids[@]}" "$XVFB_PID")
watched_names=()
for pid in "${watched[@]}"; do
    watched_names+=("$(cat "/proc/$pid/comm")")
done
also=()
for pid in "${watched[@]}"; do
    also+=(--also-pid "$pid")
done
wine_window "$BENCH_WORK/samples/idle_wine" "$IDLE_SECONDS" "${also[@]}"
# The same processes with no window: what the prefix costs on its own.
before=()
for pid in "${watched[@]}"; do
    before+=("$(cpu_seconds "$pid")")
done
idle_start=$(bench_now)
sleep "$IDLE_SECONDS"
idle_wall=$(echo "$(bench_now) - $idle_start" | bc -l)
no_window=""
for i in "${!watched[@]}"; do
    no_window="$no_window,$(echo "100 * ($(cpu_seconds "${watched[$i]}") - ${before[$i]}) / $idle_wall" | bc -l)"
done
no_window=${no_window#,}

echo "== start-up with nothing of the Wine prefix running (cold), $RUNS runs" >&2
stop_prefix
for run in $(seq "$RUNS"); do
    bench_in_turn "$run" 'wine_window "$BENCH_WORK/samples/cold"' 'linux_window "$BENCH_WORK/samples/linux_cold"'
    # The prefix shuts itself down once the updater has ended.
    stop_prefix
done
cat "$BENCH_WORK/samples/linux_cold.t" >>"$BENCH_WORK/samples/linux.t"
cat "$BENCH_WORK/samples/linux_cold.m" >>"$BENCH_WORK/samples/linux.m"

bench_record wine_startup wine "updater in a demo game folder" linux "$BENCH_WORK/samples/linux"
bench_record wine_startup wine "updater in a demo game folder" wine_warm "$BENCH_WORK/samples/warm"
bench_record wine_startup wine "updater in a demo game folder" wine_cold "$BENCH_WORK/samples/cold"

# Idle lines: "... idle_cpu_pct=P max_rss_kib=K also_cpu_pct=a,b,..." where
# the also list follows the watched processes (the prefix's, wineserver
# first, then the X server). One table row per process name, one column per
# build, and the sum of each column.
idle_row() {  # case tool percent
    printf 'wine_idle\twine\t%s\t%s\t%s\t-\t%s\n' "$1" "$2" "$3" "$IDLE_SECONDS" >>"$BENCH_RESULTS"
}
field() { sed -n "s/.*$1=\\([0-9.,-]*\\).*/\\1/p" "$2"; }
linux_updater=$(field idle_cpu_pct "$BENCH_WORK/samples/idle_linux.line")
linux_x=$(field also_cpu_pct "$BENCH_WORK/samples/idle_linux.line")
wine_updater=$(field idle_cpu_pct "$BENCH_WORK/samples/idle_wine.line")
idle_row "the updater process" linux "$linux_updater"
idle_row "the updater process" wine "$wine_updater"
idle_row "the updater process" wine_nowindow "-"
# "name percent-with-window percent-without", one line per watched process.
paste -d ' ' <(printf '%s\n' "${watched_names[@]}") \
             <(field also_cpu_pct "$BENCH_WORK/samples/idle_wine.line" | tr ',' '\n') \
             <(echo "$no_window" | tr ',' '\n') |
    awk '{ if (!($1 in n)) order[++kinds] = $1; n[$1]++; w[$1] += $2; o[$1] += $3 }
         END { for (k = 1; k <= kinds; ++k) { name = order[k]
                   printf "%s%s\t%.3f\t%.3f\n", name, (n[name] > 1 ? " (" n[name] ")" : ""), w[name], o[name] } }' |
    while IFS=$'\t' read -r name with without; do
        [ "$name" != Xvfb ] || name="the X server (Xvfb)"
        idle_row "$name" linux "$([ "$name" = "the X server (Xvfb)" ] && echo "$linux_x" || echo -)"
        idle_row "$name" wine "$with"
        idle_row "$name" wine_nowindow "$without"
    done
wine_total=$(field also_cpu_pct "$BENCH_WORK/samples/idle_wine.line" | tr ',' '\n' |
    awk -v own="$wine_updater" '{ s += $1 } END { printf "%.3f", s + own }')
idle_row "all of the above" linux "$(echo "$linux_updater + $linux_x" | bc -l)"
idle_row "all of the above" wine "$wine_total"
idle_row "all of the above" wine_nowindow "$(echo "$no_window" | tr ',' '\n' | awk '{ s += $1 } END { printf "%.3f", s }')"

if [ -n "$render_at_end" ]; then
    echo "## Windows build under Wine beside the Linux build"
    echo
    echo "Measured $started on $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1);" \
        "load average (1, 5, 15 min) $load_before before and $(cut -d ' ' -f 1-3 /proc/loadavg) after;" \
        "$(( ($(date +%s) - start_seconds) / 60 )) min. $(wine --version 2>/dev/null); Windows build" \
        "$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$WINDOWS_BUILD_DIR/CMakeCache.txt")," \
        "Linux build $(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")." \
        "Sizes: $WINDOWS_SIZES_MIB MiB unpacked; $RUNS runs per build and case, medians." \
        "Archives served from and unpacked to $(df --output=fstype "$BENCH_WORK" | tail -n 1)" \
        "(${BENCH_TMP:-${TMPDIR:-/tmp}})."
    echo
    python3 "$here/render_tables.py" "$BENCH_RESULTS"
fi
