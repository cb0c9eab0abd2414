#!/bin/sh
# Lays out a demo game folder and the release files a local server offers:
#
#   make_demo.sh BUILD_DIR OUT_DIR PORT
#
# BUILD_DIR is a Linux or a Windows build: the game folder holds that
# system's updater and modules, the archives that system's module.
#
# OUT_DIR/game      the staged updater, a game module reporting 1.4.2, a few
#                   game files, "qlm.uri" naming the local manifest and the
#                   publisher's key "qlm.pub", which makes the updater verify
# OUT_DIR/releases  "manifest.json" with the branches "plus" (1.5.0) and
#                   "beta" (1.6.0-beta), their sizes and SHA-256 hashes, its
#                   signature "manifest.json.minisig", and the branches' zip
#                   archives, which replace the game module and change and
#                   add game files
# OUT_DIR/publisher.key, OUT_DIR/publisher.pub
#                   the demo publisher's key pair (no password), made on the
#                   first run and kept; the secret key lies outside the game
#                   folder and outside what the server offers
#
# The manifest is written by qlm-release: QLM_RELEASE when set (a Windows
# build has none of its own: name the Linux build's), else BUILD_DIR's
# stage/tools/qlm-release. scripts/demo/sign_demo.sh signs it.
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
QLM_RELEASE=${QLM_RELEASE:-$build/stage/tools/qlm-release}
export QLM_RELEASE

for file in "$build/stage/$updater" "$modules/current/$module" \
            "$modules/next/$module" "$modules/beta/$module" "$QLM_RELEASE"; do
    if [ ! -f "$file" ]; then
        echo "make_demo: $file is missing: build the tree first (a Windows build takes" \
            "qlm-release from a Linux build: set QLM_RELEASE)" >&2
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
# The publisher's tools are not shipped to players.
rm -rf "$game/tools"
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

if [ ! -f "$out/publisher.key" ] || [ ! -f "$out/publisher.pub" ]; then
    minisign -G -f -W -p "$out/publisher.pub" -s "$out/publisher.key" >/dev/null
fi
cp "$out/publisher.pub" "$game/qlm.pub"

# The manifest is made anew beside the served one, so that a server running
# meanwhile never offers half of it.
base="http://127.0.0.1:$port"
manifest="$out/packing/manifest.json"
printf 'Quillmere 1.5.0 (plus)\n\n- New map: Harbour\n- Game module reports 1.5.0\n- Release notes in quillmere/notes.txt' \
    >"$out/packing/plus.txt"
printf 'Quillmere 1.6.0-beta (beta)\n\n- New maps: Harbour, Beta Arena\n- Game module reports 1.6.0-beta\n- Untested: expect rough edges' \
    >"$out/packing/beta.txt"
for release in plus:1.5.0 beta:1.6.0-beta; do
    branch=${release%%:*} version=${release#*:}
    archive="$branch/quillmere-$branch-$version.zip"
    "$QLM_RELEASE" branch --manifest "$manifest" --name "$branch" --version "$version" \
        --url "$base/$archive" --archive "$releases/$archive" --changelog-file "$out/packing/$branch.txt" >/dev/null
done
mv "$manifest" "$releases/manifest.json"
rm -rf "$out/packing"
"$here/sign_demo.sh" "$out"
printf '%s/manifest.json\n' "$base" > "$game/qlm.uri"
