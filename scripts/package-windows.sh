#!/bin/bash
# Builds the Windows package on this Debian machine: the dependencies from
# Debian's own source packages (cached between runs), the updater with the
# mingw-w64 cross compilers, then dist/QuillUpdater-win64.zip with
# updater.exe, its two modules, every DLL it needs, the data files, the
# fonts and the dependencies' licences. Unzipped on Windows it runs with
# nothing else installed.
set -eu
cd "$(dirname "$0")/.."
. scripts/windows/common.sh

windows_install_runner
# Staged afresh, so that nothing of an earlier build is packed.
rm -rf "$WINDOWS_BUILD_DIR/stage"
windows_build -DUPD_TESTS=OFF

package_root="$WINDOWS_BUILD_DIR/package/QuillUpdater"
rm -rf "$WINDOWS_BUILD_DIR/package"
mkdir -p "$package_root" dist
cp -r "$WINDOWS_BUILD_DIR/stage/." "$package_root/"
cp "$WINDOWS_DEPS/LICENSES.txt" "$package_root/LICENSES.txt"
x86_64-w64-mingw32-strip "$package_root"/*.exe "$package_root"/*.dll
rm -f dist/QuillUpdater-win64.zip
(cd "$WINDOWS_BUILD_DIR/package" && zip -qr9 "$OLDPWD/dist/QuillUpdater-win64.zip" QuillUpdater)
echo "package-windows: dist/QuillUpdater-win64.zip ($(du -h dist/QuillUpdater-win64.zip | cut -f1))"
