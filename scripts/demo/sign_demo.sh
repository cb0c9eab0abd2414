#!/bin/sh
# Signs a demo folder's releases again after they were changed (an archive
# rebuilt, the manifest edited): every branch's size and SHA-256 are taken
# afresh from its archive where that lies in the releases folder, then the
# manifest is signed with the demo publisher's key.
#
#   sign_demo.sh OUT_DIR
#
# OUT_DIR is a folder make_demo.sh laid out. QLM_RELEASE names the
# qlm-release to use (make_demo.sh sets it).
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 OUT_DIR" >&2
    exit 2
fi
if [ -z "${QLM_RELEASE:-}" ]; then
    echo "sign_demo: set QLM_RELEASE to a build's stage/tools/qlm-release" >&2
    exit 2
fi
out=$1
"$QLM_RELEASE" rehash --manifest "$out/releases/manifest.json"
minisign -S -s "$out/publisher.key" -m "$out/releases/manifest.json" >/dev/null
