#!/bin/sh
# Lays out a demo game folder and the release files a local server offers:
#
#   make_demo.sh BUILD_DIR OUT_DIR PORT
#
# BUILD_DIR is a Linux or a Windows build: the game folder holds that
# system's updater and modules, the archives that system's module.
#
# OUT_DIR/game      the staged updater, a game module reporting 1.4.2, a few
#                   game files, and "qlm.uri" naming the local manifest
# OUT_DIR/releases  "manifest.json" with the branches "plus" (1.5.0) and
#                   "beta" (1.6.0-beta) and their zip archives, which replace
#                   the game module and change and add game files
#
# The server on 127.0.0.1:PORT serves OUT_DIR/releases; it may already run,
# since it reads each file when asked for it. An existing OUT_DIR/game is
# replaced, so every run starts from the old version.
set -eu

if [ $# -ne 3 ]; then
    echo "usage: $0 BUILD_DIR OUT_DIR PORT" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
out=$2
port=$3
here=$(cd "$(dirname "$0")" && pwd)
modules="$build/tests/update/fixtures"
if [ -f "$build/stage/updater.exe" ]; then
    updater=updater.exe module=FileSystem_Stdio.dll
else
    updater=updater module=FileSystem_Stdio.so
fi

for file in "$build/stage/$updater" "$modules/current/$module" \
            "$modules/next/$module" "$modules/beta/$module"; do
    if [ ! -f "$file" ]; then
        echo "make_demo: $file is missing: build the tree first" >&2
        exit 1
    fi
done

mkdir -p "$out"
out=$(cd "$out" && pwd)
game="$out/game"
releases="$out/releases"
rm -rf "$game" "$out/packing"
mkdir -p "$game/quillmere/maps" "$releases/plus" "$releases/beta"

cp -R "$build/stage/." "$game/"
cp "$modules/current/$module" "$game/"
printf 'Quillmere 1.4.2\n' > "$game/quillmere/notes.txt"
printf 'old map, kept by every release\n' > "$game/quillmere/maps/lighthouse.map"

# One archive per branch, with members in folders as a release ships them.
pack() {
    branch=$1 variant=$2 version=$3 archive=$4
    shift 4
    staging="$out/packing/$branch"
    mkdir -p "$staging/quillmere/maps"
    cp "$modules/$variant/$module" "$staging/"
    printf 'Quillmere %s (%s)\n' "$version" "$branch" > "$staging/quillmere/notes.txt"
    for map in "$@"; do
        printf '%s map of %s\n' "$map" "$version" > "$staging/quillmere/maps/$map.map"
    done
    rm -f "$releases/$branch/$archive"
    (cd "$staging" && zip -q -r -X "$releases/$branch/$archive" .)
}
pack plus next 1.5.0 quillmere-plus-1.5.0.zip harbour
pack beta beta 1.6.0-beta quillmere-beta-1.6.0-beta.zip harbour beta_arena
rm -rf "$out/packing"

base="http://127.0.0.1:$port"
sed -e "s|@BASE_URL@|$base|g" \
    -e "s|@PLUS_SIZE@|$(stat -c %s "$releases/plus/quillmere-plus-1.5.0.zip")|" \
    -e "s|@BETA_SIZE@|$(stat -c %s "$releases/beta/quillmere-beta-1.6.0-beta.zip")|" \
    "$here/manifest.json.in" > "$releases/manifest.json.tmp"
mv "$releases/manifest.json.tmp" "$releases/manifest.json"
printf '%s/manifest.json\n' "$base" > "$game/qlm.uri"
