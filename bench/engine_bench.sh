#!/usr/bin/env bash
# Side-by-side timing and peak memory of the update engine against peer
# tools, runs alternating between the tools (the order flips every run),
# medians reported:
#   download:     bench_engine download      vs  curl -s -o, from a loopback nginx
#   hash:         bench_engine download with the archive's SHA-256 to check
#                                            vs  the same without
#   extraction:   bench_engine extract       vs  unzip -o -q and bsdtar -xf
#   whole update: bench_engine update        vs  curl -s -o, then unzip -o -q, then rm
#                                            and curl -s -o, then bsdtar -xf, then rm
# over archives that grow in size (large members) and in member count
# (small files). Every extraction and update goes into a new folder; the
# first, untimed pass checks that ours writes exactly what the peers write.
#
# Knobs (environment):
#   SIZES_MIB      (10 100 200 1024)  unpacked size of the size series
#   MEMBER_COUNTS  (100 10000 50000)   member counts of the member series
#   RUNS           (5)                 runs per tool and case
#   RUNS_LARGE     (RUNS)              runs for archives of 1 GiB or more
#   SIZE_FIGURES   (download hash extract update)
#                                      the figures of the size series
#   BUILD_DIR      (build)             where bench/bench_engine is built
#   BENCH_TMP      (TMPDIR or /tmp)    where archives are served from and
#                                      unpacked to; /dev/shm takes the disk
#                                      out of the comparison
#   BENCH_RESULTS  (none)              file the medians are appended to, as
#                                      tab-separated lines; without it the
#                                      tables are printed at the end
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$root/build}
SIZES_MIB=${SIZES_MIB:-10 100 200 1024}
MEMBER_COUNTS=${MEMBER_COUNTS:-100 10000 50000}
RUNS=${RUNS:-5}
RUNS_LARGE=${RUNS_LARGE:-$RUNS}
SIZE_FIGURES=${SIZE_FIGURES:-download hash extract update}
ENGINE=$BUILD_DIR/bench/bench_engine
# shellcheck source=bench/lib.sh
. "$here/lib.sh"

for tool in nginx curl bsdtar unzip zip python3 bc /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
[ -x "$ENGINE" ] || { echo "build bench_engine first: $ENGINE" >&2; exit 1; }

bench_begin engine-bench
NGINX_PID=""
cleanup() {
    bench_stop NGINX_PID
    rm -rf "$BENCH_WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$BENCH_WORK/www"
bench_start_nginx "$BENCH_WORK/www"

# Runs one round of a case: every tool once, in the given order.
round() {  # samples-prefix tool...
    local prefix=$1 tool
    shift
    for tool in "$@"; do
        "run_$tool" "$prefix.$tool"
    done
}

# The tools' commands. Each leaves nothing behind but what its timing needs.
run_ours_download() {
    bench_measure "$1" "$ENGINE" download "$URL" "$BENCH_WORK/dl/release.zip" "$ARCHIVE_BYTES"
    rm -f "$BENCH_WORK/dl/release.zip"
}
run_hashed_download() {
    bench_measure "$1" "$ENGINE" download "$URL" "$BENCH_WORK/dl/release.zip" "$ARCHIVE_BYTES" "$ARCHIVE_SHA256"
    rm -f "$BENCH_WORK/dl/release.zip"
}
run_curl_download() {
    bench_measure "$1" curl -s -o "$BENCH_WORK/dl/release.zip" "$URL"
    rm -f "$BENCH_WORK/dl/release.zip"
}
run_ours_extract() {
    mkdir "$BENCH_WORK/x"
    bench_measure "$1" "$ENGINE" extract "$ARCHIVE" "$BENCH_WORK/x"
    rm -rf "$BENCH_WORK/x"
}
run_unzip_extract() {
    mkdir "$BENCH_WORK/x"
    bench_measure "$1" unzip -o -q "$ARCHIVE" -d "$BENCH_WORK/x"
    rm -rf "$BENCH_WORK/x"
}
run_bsdtar_extract() {
    mkdir "$BENCH_WORK/x"
    bench_measure "$1" bsdtar -xf "$ARCHIVE" -C "$BENCH_WORK/x"
    rm -rf "$BENCH_WORK/x"
}
run_ours_update() {
    mkdir "$BENCH_WORK/game"
    bench_measure "$1" "$ENGINE" update "$URL" "$ARCHIVE_BYTES" "$BENCH_WORK/game"
    rm -rf "$BENCH_WORK/game"
}
# The peers' whole update: download with curl, unpack with the given tool
# command (run in the game folder on release.zip), remove the archive.
peer_update() {  # samples unpack-command
    mkdir "$BENCH_WORK/game"
    # shellcheck disable=SC2016
    bench_measure "$1" sh -c 'cd "$1" && curl -s -o release.zip "$2" && '"$2"' && rm -f release.zip' \
        sh "$BENCH_WORK/game" "$URL"
    rm -rf "$BENCH_WORK/game"
}
run_peer_update() { peer_update "$1" "unzip -o -q release.zip"; }
run_bsdpeer_update() { peer_update "$1" "bsdtar -xf release.zip"; }

# Runs a command untimed, showing its output only when it fails.
quiet() {
    "$@" >"$BENCH_WORK/quiet.log" 2>&1 || { echo "failed: $*" >&2; cat "$BENCH_WORK/quiet.log" >&2; return 1; }
}

# Untimed: ours must produce the same files as the peers, and the pass puts
# the archive into the page cache for everyone. One peer's copy at a time
# keeps the scratch space small.
check_outputs() {
    local check="$BENCH_WORK/check" peer
    rm -rf "$check"
    mkdir -p "$check/ours" "$check/dl"
    quiet "$ENGINE" download "$URL" "$check/dl/release.zip" "$ARCHIVE_BYTES"
    cmp -s "$check/dl/release.zip" "$ARCHIVE" || { echo "our download differs from the served archive" >&2; exit 1; }
    quiet "$ENGINE" download "$URL" "$check/dl/release.zip" "$ARCHIVE_BYTES" "$ARCHIVE_SHA256"
    rm -rf "$check/dl"
    quiet "$ENGINE" extract "$ARCHIVE" "$check/ours"
    for peer in unzip bsdtar update; do
        mkdir "$check/$peer"
        case $peer in
            unzip) quiet unzip -o -q "$ARCHIVE" -d "$check/$peer" ;;
            bsdtar) quiet bsdtar -xf "$ARCHIVE" -C "$check/$peer" ;;
            # Our whole update also writes the branch file and removes the
            # archive it downloaded.
            update) quiet "$ENGINE" update "$URL" "$ARCHIVE_BYTES" "$check/$peer" ;;
        esac
        diff -r -q -x qlm.branch "$check/ours" "$check/$peer" ||
            { echo "our extraction differs from the result of $peer" >&2; exit 1; }
        rm -rf "${check:?}/$peer"
    done
    rm -rf "$check"
}

# run_case SERIES LABEL RUNS FIGURE... : alternating rounds of every figure.
run_case() {
    local series=$1 label=$2 runs=$3 figure run tools
    shift 3
    ARCHIVE=$BENCH_WORK/www/release.zip
    ARCHIVE_BYTES=$(stat -c %s "$ARCHIVE")
    ARCHIVE_SHA256=$(sha256sum "$ARCHIVE" | cut -c 1-64)
    URL="http://127.0.0.1:$NGINX_PORT/release.zip"
    label=$(bench_archive_label "$label" "$ARCHIVE")
    echo "== $series: $label, $runs runs" >&2
    check_outputs
    mkdir -p "$BENCH_WORK/dl" "$BENCH_WORK/samples"
    for figure in "$@"; do
        case $figure in
            download) tools="ours_download curl_download" ;;
            # The checked one first: the table divides it by the unchecked.
            hash) tools="hashed_download ours_download" ;;
            extract) tools="ours_extract unzip_extract bsdtar_extract" ;;
            update) tools="ours_update peer_update bsdpeer_update" ;;
        esac
        rm -f "$BENCH_WORK/samples/"*
        for run in $(seq "$runs"); do
            # shellcheck disable=SC2086
            if [ $((run % 2)) -eq 1 ]; then
                round "$BENCH_WORK/samples/s" $tools
            else
                round "$BENCH_WORK/samples/s" $(echo $tools | tr ' ' '\n' | tac)
            fi
        done
        for tool in $tools; do
            bench_record "$figure" "$series" "$label" "${tool%_*}" "$BENCH_WORK/samples/s.$tool"
        done
    done
}

for mib in $SIZES_MIB; do
    bench_make_archive size "$mib"
    runs=$RUNS
    [ "$mib" -lt 1024 ] || runs=$RUNS_LARGE
    # shellcheck disable=SC2086
    run_case size "$(bench_size_label "$mib")" "$runs" $SIZE_FIGURES
done
for count in $MEMBER_COUNTS; do
    bench_make_archive members "$count"
    run_case members "$(echo "$count" | sed -e ':a' -e 's/\B[0-9]\{3\}\>/,&/' -e 'ta') members" "$RUNS" extract update
done
rm -f "$BENCH_WORK/www/release.zip"

if [ -n "$render_at_end" ]; then
    python3 "$here/render_tables.py" "$BENCH_RESULTS"
fi
