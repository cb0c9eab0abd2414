#!/usr/bin/env bash
# Side-by-side timing of the update engine against peer tools, alternating
# runs and printing medians:
#   download:   bench_engine (progress per block)  vs  curl -s -o, from a loopback nginx
#   extraction: bench_engine                        vs  bsdtar -xf and unzip -o
# Every extraction goes into a new folder. Sizes can be scaled down:
#   DOWNLOAD_MIB (1024), MIXED_FILES (20000), MIXED_MIB (600),
#   BIG_MEMBERS (4), BIG_MEMBER_MIB (256), RUNS (5), BUILD_DIR (build).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
DOWNLOAD_MIB=${DOWNLOAD_MIB:-1024}
MIXED_FILES=${MIXED_FILES:-20000}
MIXED_MIB=${MIXED_MIB:-600}
BIG_MEMBERS=${BIG_MEMBERS:-4}
BIG_MEMBER_MIB=${BIG_MEMBER_MIB:-256}
RUNS=${RUNS:-5}
ENGINE=$BUILD_DIR/bench/bench_engine

for tool in nginx curl bsdtar unzip zip python3; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[ -x "$ENGINE" ] || { echo "build bench_engine first: $ENGINE" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/engine-bench-XXXXXX")
chmod 755 "$WORK"
NGINX_PID=""
cleanup() {
    [ -n "$NGINX_PID" ] && kill "$NGINX_PID" 2>/dev/null && wait "$NGINX_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

now() { date +%s.%N; }

# Runs a command, printing its wall time in seconds.
timed() {
    local start end
    start=$(now)
    "$@" >/dev/null 2>"$WORK/last.err" || { cat "$WORK/last.err" >&2; return 1; }
    end=$(now)
    echo "$end - $start" | bc -l
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

report() {  # name, ours-file, peer-name, peer-file
    local ours peer
    ours=$(median <"$2")
    peer=$(median <"$4")
    printf '%-28s ours %8.3f s   %-10s %8.3f s   ratio %.3f\n' "$1" "$ours" "$3" "$peer" "$(echo "$ours / $peer" | bc -l)"
}

echo "== preparing data in $WORK"
mkdir -p "$WORK/www"
python3 - "$WORK" "$DOWNLOAD_MIB" "$MIXED_FILES" "$MIXED_MIB" "$BIG_MEMBERS" "$BIG_MEMBER_MIB" <<'PY'
import os, random, sys
work, download_mib, files, mixed_mib, big_members, big_mib = sys.argv[1], *map(int, sys.argv[2:])
rng = random.Random(7)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(4000)]

def text(size):
    out = bytearray()
    while len(out) < size:
        out += b" ".join(rng.choice(words) for _ in range(64)) + b"\n"
    return bytes(out[:size])

def mixed(size):
    # Half text, half incompressible: a release holds both kinds.
    half = size // 2
    return text(half) + os.urandom(size - half)

with open(os.path.join(work, "www", "release.zip"), "wb") as f:
    chunk = os.urandom(1 << 20)
    for _ in range(download_mib):
        f.write(chunk)

root = os.path.join(work, "mixed")
total = mixed_mib << 20
large = files // 200 or 1
large_size = (total * 8 // 10) // large
small_size = (total - large * large_size) // max(files - large, 1)
for i in range(files):
    folder = os.path.join(root, "dir%02d" % (i % 40), "sub%d" % (i % 7))
    os.makedirs(folder, exist_ok=True)
    size = large_size if i < large else rng.randint(1, 2 * small_size)
    data = mixed(size) if i < large else (text(size) if i % 3 else os.urandom(size))
    with open(os.path.join(folder, "file%05d.%s" % (i, ("txt", "bin", "res")[i % 3])), "wb") as f:
        f.write(data)

big = os.path.join(work, "big")
os.makedirs(big, exist_ok=True)
for i in range(big_members):
    with open(os.path.join(big, "pak%d.vpk" % i), "wb") as f:
        for _ in range(big_mib // 4):
            f.write(mixed(4 << 20))
PY
(cd "$WORK/mixed" && zip -qr "$WORK/mixed.zip" .)
(cd "$WORK/big" && zip -qr "$WORK/big.zip" .)
rm -rf "$WORK/mixed" "$WORK/big"
ls -l "$WORK/www/release.zip" "$WORK/mixed.zip" "$WORK/big.zip"

echo "== download ($DOWNLOAD_MIB MiB from loopback nginx, $RUNS runs each)"
PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$WORK/nginx/logs"
cat >"$WORK/nginx/nginx.conf" <<CONF
worker_processes 1;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/logs/error.log;
events { worker_connections 64; }
http {
    access_log off;
    sendfile on;
    server {
        listen 127.0.0.1:$PORT;
        root $WORK/www;
    }
}
CONF
nginx -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" -g 'daemon off;' &
NGINX_PID=$!
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.1; done
URL="http://127.0.0.1:$PORT/release.zip"
SIZE=$(stat -c %s "$WORK/www/release.zip")
mkdir -p "$WORK/dl"
: >"$WORK/t.ours" ; : >"$WORK/t.curl"
for run in $(seq "$RUNS"); do
    (cd "$WORK/dl" && timed "$ENGINE" download "$URL" release.zip "$SIZE") >>"$WORK/t.ours"
    cmp -s "$WORK/dl/release.zip" "$WORK/www/release.zip" || { echo "download differs" >&2; exit 1; }
    rm -f "$WORK/dl/release.zip"
    (cd "$WORK/dl" && timed curl -s -o release.zip "$URL") >>"$WORK/t.curl"
    rm -f "$WORK/dl/release.zip"
done
report "download" "$WORK/t.ours" "curl" "$WORK/t.curl"
(cd "$WORK/dl" && /usr/bin/time -f "engine download peak RSS %M KiB" "$ENGINE" download "$URL" release.zip "$SIZE" 2>&1 | tail -1)
rm -f "$WORK/dl/release.zip"

extract_round() {  # archive label
    local archive=$1 label=$2 run=$3 dest
    dest="$WORK/x-ours-$run"; mkdir "$dest"
    timed "$ENGINE" extract "$archive" "$dest" >>"$WORK/$label.ours"
    rm -rf "$dest"
    dest="$WORK/x-bsdtar-$run"; mkdir "$dest"
    (cd "$dest" && timed bsdtar -xf "$archive") >>"$WORK/$label.bsdtar"
    rm -rf "$dest"
    dest="$WORK/x-unzip-$run"; mkdir "$dest"
    (cd "$dest" && timed unzip -o -q "$archive") >>"$WORK/$label.unzip"
    rm -rf "$dest"
}

for label in mixed big; do
    archive="$WORK/$label.zip"
    echo "== extraction of $label.zip ($RUNS runs each)"
    : >"$WORK/$label.ours"; : >"$WORK/$label.bsdtar"; : >"$WORK/$label.unzip"
    # One untimed pass of each puts the archive into the page cache for
    # everyone and checks that ours writes what bsdtar writes.
    mkdir "$WORK/check-ours" "$WORK/check-bsdtar"
    "$ENGINE" extract "$archive" "$WORK/check-ours" 2>/dev/null
    (cd "$WORK/check-bsdtar" && bsdtar -xf "$archive")
    diff -r -q "$WORK/check-ours" "$WORK/check-bsdtar" || { echo "extraction differs from bsdtar" >&2; exit 1; }
    rm -rf "$WORK/check-ours" "$WORK/check-bsdtar"
    for run in $(seq "$RUNS"); do
        extract_round "$archive" "$label" "$run"
    done
    report "extract $label vs bsdtar" "$WORK/$label.ours" "bsdtar" "$WORK/$label.bsdtar"
    report "extract $label vs unzip" "$WORK/$label.ours" "unzip" "$WORK/$label.unzip"
done
