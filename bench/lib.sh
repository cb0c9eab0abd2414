# Shared helpers of the benchmark scripts; sourced, not run. Expects
# BENCH_WORK (a scratch folder the caller removes) to be set.

# Seconds since the epoch with nanoseconds.
bench_now() { date +%s.%N; }

# Median of the numbers on standard input, one a line.
bench_median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# bench_measure SAMPLES command...
# Runs the command once, appending its wall time in seconds to SAMPLES.t and
# its peak resident memory in KiB to SAMPLES.m. The wall time is taken
# outside /usr/bin/time, whose own clock has only 10 ms steps; its memory
# figure is the largest of the command and everything it waited for, so a
# shell running two tools reports the larger of the two. Dirty pages left by
# the previous run are written out first, untimed, so no run pays for
# another's write-back; only the scratch folder's file system is flushed,
# not what other people on the machine are writing.
bench_measure() {
    local samples=$1 start end
    shift
    sync -f "$BENCH_WORK"
    start=$(bench_now)
    if ! /usr/bin/time -f %M -o "$BENCH_WORK/rss" "$@" >"$BENCH_WORK/last.log" 2>&1; then
        echo "failed: $*" >&2
        cat "$BENCH_WORK/last.log" >&2
        return 1
    fi
    end=$(bench_now)
    echo "$end - $start" | bc -l >>"$samples.t"
    tail -n 1 "$BENCH_WORK/rss" >>"$samples.m"
}

# bench_record FIGURE SERIES CASE TOOL SAMPLES
# Appends one line of medians to the results table $BENCH_RESULTS.
bench_record() {
    local seconds kib runs
    seconds=$(bench_median <"$5.t")
    kib=$(bench_median <"$5.m")
    runs=$(wc -l <"$5.t")
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" "$seconds" "$kib" "$runs" >>"$BENCH_RESULTS"
}

# A TCP port on 127.0.0.1 that nobody listens on right now.
bench_free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# bench_start_nginx ROOT: serves ROOT on 127.0.0.1; sets NGINX_PID and
# NGINX_PORT. The caller stops it with bench_stop NGINX_PID.
bench_start_nginx() {
    local conf="$BENCH_WORK/nginx"
    NGINX_PORT=$(bench_free_port)
    mkdir -p "$conf/logs"
    cat >"$conf/nginx.conf" <<CONF
worker_processes 1;
pid $conf/nginx.pid;
error_log $conf/logs/error.log;
events { worker_connections 64; }
http {
    access_log off;
    sendfile on;
    server {
        listen 127.0.0.1:$NGINX_PORT;
        root $1;
    }
}
CONF
    nginx -p "$conf" -c "$conf/nginx.conf" -g 'daemon off;' &
    NGINX_PID=$!
    local tries=0
    until curl -s -o /dev/null "http://127.0.0.1:$NGINX_PORT/"; do
        tries=$((tries + 1))
        [ "$tries" -lt 100 ] || { echo "nginx did not start" >&2; return 1; }
        sleep 0.1
    done
}

# bench_start_release_server ROOT: the loopback release server of the demo,
# serving ROOT; sets SERVER_PID and SERVER_PORT. Needs BUILD_DIR (a Linux
# build: the Windows build has no release server). The caller stops it with
# bench_stop SERVER_PID.
bench_start_release_server() {
    local portfile tries=0
    portfile=$(mktemp "$BENCH_WORK/server-port-XXXXXX")
    "$BUILD_DIR/scripts/release_server/release_server" --root "$1" --port-file "$portfile" \
        >"$portfile.log" 2>&1 &
    SERVER_PID=$!
    until [ -s "$portfile" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 100 ] || { echo "the release server did not start" >&2; cat "$portfile.log" >&2; return 1; }
        sleep 0.1
    done
    SERVER_PORT=$(head -n 1 "$portfile")
}

# bench_make_archive KIND AMOUNT: BENCH_WORK/www/release.zip of the payload
# make_payload.py writes (size in MiB, or member count). Made one at a time
# and replaced by the next, so the disk holds at most one payload and one
# archive.
bench_make_archive() {
    local content="$BENCH_WORK/content" here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    rm -rf "$content" "$BENCH_WORK/www/release.zip"
    mkdir -p "$BENCH_WORK/www"
    python3 "$here/make_payload.py" "$1" "$content" "$2"
    (cd "$content" && zip -q -r "$BENCH_WORK/www/release.zip" .)
    rm -rf "$content"
}

# "200 MiB", "1 GiB": a size in MiB as the tables name it.
bench_size_label() {
    if [ "$1" -ge 1024 ] && [ $(($1 % 1024)) -eq 0 ]; then echo "$(($1 / 1024)) GiB"; else echo "$1 MiB"; fi
}

# "200 MiB (zip 177.7 MiB)": the case label of the archive at the path.
bench_archive_label() {  # size-label archive
    echo "$1 (zip $(printf '%.1f' "$(echo "$(stat -c %s "$2") / 1048576" | bc -l)") MiB)"
}

# bench_start_xvfb: a private virtual X server; sets XVFB_PID and exports
# DISPLAY.
bench_start_xvfb() {
    local displayfile="$BENCH_WORK/xvfb.display" tries=0
    : >"$displayfile"
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    until [ -s "$displayfile" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 100 ] || { echo "Xvfb did not start" >&2; return 1; }
        sleep 0.1
    done
    DISPLAY=":$(head -n 1 "$displayfile")"
    export DISPLAY
}

# bench_stop VARIABLE: ends the process whose id the variable holds.
bench_stop() {
    local pid
    eval "pid=\${$1:-}"
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    eval "$1="
}

# The script's scratch folder (BENCH_WORK) and where its results go:
# BENCH_RESULTS when run_all.sh collects them, else a file in the scratch
# folder whose tables the script prints at its end (render_at_end).
bench_begin() {  # name [parent folder]
    BENCH_WORK=$(mktemp -d "${2:-${BENCH_TMP:-${TMPDIR:-/tmp}}}/$1-XXXXXX")
    chmod 755 "$BENCH_WORK"
    render_at_end=""
    if [ -z "${BENCH_RESULTS:-}" ]; then
        BENCH_RESULTS=$BENCH_WORK/results.tsv
        render_at_end=1
    fi
}

# One run of two measurements, each a command line: the first measured first
# in odd runs and second in even ones, so that neither always meets the
# machine as the other left it.
bench_in_turn() {  # run first second
    if [ $(($1 % 2)) -eq 1 ]; then
        eval "$2"
        eval "$3"
    else
        eval "$3"
        eval "$2"
    fi
}
