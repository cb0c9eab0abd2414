#!/bin/bash
# Builds the Windows package on this Debian machine: the dependencies from
# Debian's own source packages (cached between runs), the updater with the
# mingw-w64 cross compilers, then dist/QuillUpdater-win64.zip with
# updater.exe, its two modules, every DLL it needs, the data files, the
# fonts and the dependencies' licences. Unzipped on Windows it runs with
# nothing else installed.
#
# Then dist/QuillUpdater-demo-win64.zip, the demo for a person on Windows:
# the folder QuillUpdater-demo/ with the release server, its releases for
# 127.0.0.1:27080 signed by a key of its own, a game folder whose module
# reports 1.4.2 with the updater and that key already in it, and
# run-demo.cmd, which starts the server and the updater and shows the
# installed version before and after. UPD_BUILD_DIR (default build) names
# the Linux build whose qlm-release writes the demo's manifest.
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

# The demo's game modules are the tests' stand-ins: only they are built of
# the tests.
demo_port=27080
cmake -S . -B "$WINDOWS_BUILD_DIR" -DUPD_TESTS=ON >/dev/null
cmake --build "$WINDOWS_BUILD_DIR" --target game_module_current game_module_next game_module_beta
demo_root="$WINDOWS_BUILD_DIR/package-demo/QuillUpdater-demo"
rm -rf "$WINDOWS_BUILD_DIR/package-demo"
# The releases are signed with a key made for this package by the Linux
# build's qlm-release and minisign; the secret key is not packed.
windows_host_tools
scripts/demo/make_demo.sh "$WINDOWS_BUILD_DIR" "$demo_root" "$demo_port"
rm "$demo_root/publisher.key" "$demo_root/publisher.pub"
cp "$WINDOWS_BUILD_DIR/scripts/release_server/release_server.exe" \
    "$WINDOWS_BUILD_DIR/scripts/demo/game_version.exe" "$demo_root/"
cp "$WINDOWS_DEPS/LICENSES.txt" "$demo_root/LICENSES.txt"
# A command script with Windows line ends: cmd reads labels wrongly without.
sed -e "s/@PORT@/$demo_port/g" -e 's/$/\r/' scripts/demo/run-demo.cmd.in >"$demo_root/run-demo.cmd"
x86_64-w64-mingw32-strip "$demo_root"/*.exe "$demo_root/game"/*.exe "$demo_root/game"/*.dll
rm -f dist/QuillUpdater-demo-win64.zip
(cd "$WINDOWS_BUILD_DIR/package-demo" && zip -qr9 "$OLDPWD/dist/QuillUpdater-demo-win64.zip" QuillUpdater-demo)
echo "package-windows: dist/QuillUpdater-demo-win64.zip ($(du -h dist/QuillUpdater-demo-win64.zip | cut -f1))"
