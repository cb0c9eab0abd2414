# Shared by the Windows scripts (sourced): the cross-build of the project in
# build-windows/ and a Wine prefix of its own for running what it built.

WINDOWS_BUILD_DIR="${WINDOWS_BUILD_DIR:-build-windows}"

# Installs Wine and what the Windows tests drive when missing.
windows_install_runner() {
    local packages="wine wine64 xvfb xauth zip"
    local missing=""
    for package in $packages; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $package"
        fi
    done
    if [ -n "$missing" ]; then
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        echo "windows: installing$missing"
        # shellcheck disable=SC2086
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            -o DPkg::Lock::Timeout=600 $missing
    fi
}

# Builds the dependencies (or reuses them) into WINDOWS_DEPS, then the
# project; extra arguments are passed to the configure step.
windows_build() {
    WINDOWS_DEPS="$(scripts/windows/build-deps.sh | tail -n 1)"
    cmake -S . -B "$WINDOWS_BUILD_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
        -DUPD_WINDOWS_DEPS="$WINDOWS_DEPS" -DCMAKE_BUILD_TYPE=Release "$@"
    cmake --build "$WINDOWS_BUILD_DIR" --parallel "$(nproc)"
}

# A Wine prefix of the build's own, made on first use; quiet and without
# the desktop integration a test run has no use for.
windows_wine_prefix() {
    export WINEPREFIX="$PWD/$WINDOWS_BUILD_DIR/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "windows: making the Wine prefix $WINEPREFIX"
        DISPLAY= wineboot --init >/dev/null 2>&1 || true
        wineserver --wait
    fi
}

# Builds the given programs of the Linux build that the Windows scripts run
# on this machine, and the publisher's tool that signs the demo's releases
# (exported as QLM_RELEASE for the demo's folder script). UPD_BUILD_DIR
# names that build (default build); it is configured when it does not exist.
windows_host_tools() {
    HOST_BUILD_DIR="${UPD_BUILD_DIR:-build}"
    if [ ! -f "$HOST_BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S . -B "$HOST_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
    cmake --build "$HOST_BUILD_DIR" --target qlm-release "$@"
    HOST_BUILD_DIR=$(cd "$HOST_BUILD_DIR" && pwd)
    QLM_RELEASE="$HOST_BUILD_DIR/stage/tools/qlm-release"
    export QLM_RELEASE
}
