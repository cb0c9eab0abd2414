#!/bin/bash
# Cross-builds the libraries of the Windows build from Debian's own source
# packages into a prefix outside the source tree:
#   ${UPD_WINDOWS_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/quill-updater/windows-deps}
# A prefix made by the same recipe from the same source versions is reused.
# Progress goes to standard error, build output to logs in "<prefix>.build/logs";
# the prefix path is the last line on standard output, so callers can take it
# with `prefix=$(scripts/windows/build-deps.sh | tail -1)`.
set -eu

readonly host=x86_64-w64-mingw32
script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
toolchain=$(cd "$script_dir/../../cmake" && pwd)/mingw-w64-x86_64.cmake
prefix=${UPD_WINDOWS_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/quill-updater/windows-deps}
work=$prefix.build
# Built into a separate folder and moved into place only when complete, so a
# half-built prefix is never mistaken for a finished one.
stage=$prefix.partial
jobs=$(nproc)
# Assertion texts name source files; without this they would carry the
# builder's home folder into the shipped DLLs.
prefix_map="-ffile-prefix-map=$work/src/="

packages="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
mingw-w64-x86-64-dev dpkg-dev cmake ninja-build pkg-config autoconf automake libtool
make nlohmann-json3-dev fonts-dejavu-core"

# The Debian source packages the prefix is made from.
sources="libpng1.6 freetype libsdl2 libsdl2-ttf libsdl2-image curl libzip libsodium
googletest cpp-httplib"

say() { echo "build-deps: $*" >&2; }
fail() { say "$*"; exit 1; }

# Runs a command with its output appended to the named log; on failure the
# end of that log is shown, since the build output is not on the terminal.
logged() {
    local log="$work/logs/$1.log"
    shift
    if ! "$@" >>"$log" 2>&1; then
        say "failed: $*"
        tail -n 40 "$log" >&2
        fail "full log: $log"
    fi
}

install_packages() {
    local missing="" package sudo=""
    for package in $packages; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $package"
        fi
    done
    if [ -z "$missing" ]; then
        return
    fi
    say "installing$missing"
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    # shellcheck disable=SC2086
    {
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
            install -y -qq --no-install-recommends $missing
    } >&2
}

# apt reads our deb-src list with lists and cache of its own: pointing only
# the source list elsewhere would make `apt-get update` drop the machine's
# binary package lists.
apt_src() {
    "$1" -o "Dir::Etc::SourceList=$work/apt/deb-src.sources" -o Dir::Etc::SourceParts=/dev/null \
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache" "${@:2}"
}

refresh_source_lists() {
    mkdir -p "$work/apt/lists/partial" "$work/apt/cache" "$work/logs"
    "$script_dir/deb-src.sh" >"$work/apt/deb-src.sources"
    if [ ! -s "$work/apt/deb-src.sources" ]; then
        fail "the machine's apt sources have no enabled deb entry to take source packages from"
    fi
    if apt_src apt-get update >"$work/logs/apt-update.log" 2>&1; then
        return
    fi
    if compgen -G "$work/apt/lists/*_Sources*" >/dev/null; then
        say "could not refresh the source package lists; using the ones from the last run"
    else
        tail -n 20 "$work/logs/apt-update.log" >&2
        fail "could not fetch the source package lists"
    fi
}

# Every version of a source package the lists offer, newest first (by
# dpkg's ordering, which sort -V does not follow for every Debian version).
offered_versions() {
    local versions i j swap
    mapfile -t versions < <(apt_src apt-cache showsrc --only-source "$1" 2>/dev/null |
        sed -n 's/^Version: //p' | sort -u)
    for ((i = 0; i < ${#versions[@]}; i++)); do
        for ((j = i + 1; j < ${#versions[@]}; j++)); do
            if dpkg --compare-versions "${versions[j]}" gt "${versions[i]}"; then
                swap=${versions[i]}
                versions[i]=${versions[j]}
                versions[j]=$swap
            fi
        done
    done
    echo "${versions[*]}"
}

# What the prefix is made from: this recipe, the compilers and the Debian
# packages used as they are, and the source versions on offer. The offered
# versions rather than the fetched ones, so the check needs no download.
build_key() {
    local source
    echo "recipe $(cat "${BASH_SOURCE[0]}" "$toolchain" | sha256sum | cut -d' ' -f1)"
    dpkg-query -W -f='package ${Package} ${Version}\n' g++-mingw-w64-x86-64-posix \
        gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev mingw-w64-x86-64-dev \
        nlohmann-json3-dev fonts-dejavu-core
    for source in $sources; do
        echo "source $source $(offered_versions "$source")"
    done
}

# Unpacks the newest version that can really be fetched: a mirror may list a
# security update before it serves its files.
fetch_source() {
    local source=$1 version
    for version in $(offered_versions "$source"); do
        if (cd "$work/src" && apt_src apt-get source --download-only --only-source "$source=$version") \
            >>"$work/logs/apt-source.log" 2>&1; then
            logged apt-source dpkg-source -x "$work/src/${source}_${version#*:}.dsc" "$work/src/$source"
            echo "$source $version" >>"$work/fetched-versions"
            return
        fi
        say "$source $version could not be downloaded; trying an older version"
    done
    fail "no version of the source package $source could be downloaded (see $work/logs/apt-source.log)"
}

fetched_version() {
    sed -n "s/^$1 //p" "$work/fetched-versions"
}

# ccache makes a rebuild after a recipe change cheap.
compiler_launcher=()
ccache=""
if command -v ccache >/dev/null; then
    compiler_launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    ccache="ccache "
fi

# Configures, builds and installs one CMake project into the stage. Shared
# libraries, release builds, no tests; each library adds its own switches.
cmake_library() {
    local name=$1 source_dir=$2
    shift 2
    say "building $name $(fetched_version "${source_dir##*/}")"
    logged "$name" cmake -S "$source_dir" -B "$work/build/$name" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DUPD_WINDOWS_DEPS="$stage" \
        -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_FLAGS="$prefix_map" -DCMAKE_CXX_FLAGS="$prefix_map" \
        -DBUILD_SHARED_LIBS=ON -DBUILD_TESTING=OFF "${compiler_launcher[@]}" "$@"
    logged "$name" cmake --build "$work/build/$name" -j "$jobs"
    logged "$name" cmake --install "$work/build/$name"
}

# Debian's mingw zlib is used as it is; the stage gets its pkg-config file so
# pkg-config restricted to the prefix still resolves zlib, and its DLL so the
# prefix's bin folder holds every DLL a program needs.
install_zlib() {
    mkdir -p "$stage/lib/pkgconfig" "$stage/bin"
    cp "/usr/$host/lib/pkgconfig/zlib.pc" "$stage/lib/pkgconfig/"
    cp "/usr/$host/lib/zlib1.dll" "$stage/bin/"
}

build_libpng() {
    cmake_library libpng "$work/src/libpng1.6" \
        -DPNG_SHARED=ON -DPNG_STATIC=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
}

# Without HarfBuzz, Brotli and bzip2: the updater renders plain text with
# DejaVu; zlib and libpng serve compressed and bitmap-glyph fonts.
build_freetype() {
    cmake_library freetype "$work/src/freetype" \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_BZIP2=ON \
        -DFT_REQUIRE_ZLIB=ON -DFT_REQUIRE_PNG=ON
}

build_sdl2() {
    cmake_library sdl2 "$work/src/libsdl2" \
        -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL_TESTS=OFF
    # SDL's pkg-config file would rename every main() to SDL_main and start
    # the programs through its own WinMain; ours keep their main() (the
    # test runner's among them) and no file of ours takes SDL's entry.
    sed -i -e 's/ -Dmain=SDL_main//' -e 's/-lmingw32 -mwindows -lSDL2main //' "$stage/lib/pkgconfig/sdl2.pc"
}

build_sdl2_ttf() {
    cmake_library sdl2-ttf "$work/src/libsdl2-ttf" \
        -DSDL2TTF_SAMPLES=OFF -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF
}

# PNG through our libpng, linked rather than loaded at run time, and none of
# the formats that would need further libraries.
build_sdl2_image() {
    cmake_library sdl2-image "$work/src/libsdl2-image" \
        -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF -DSDL2IMAGE_VENDORED=OFF \
        -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_BACKEND_WIC=OFF \
        -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_JPG=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF \
        -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF
}

# Schannel is Windows' own TLS and trusts Windows' own certificate store, so
# no OpenSSL and no certificate bundle ship with the updater.
build_curl() {
    cmake_library curl "$work/src/curl" \
        -DBUILD_CURL_EXE=OFF -DENABLE_MANUAL=OFF -DCURL_ENABLE_SSL=ON \
        -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none \
        -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF -DCURL_USE_LIBPSL=OFF -DCURL_USE_LIBSSH2=OFF \
        -DCURL_USE_LIBSSH=OFF -DUSE_NGHTTP2=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
        -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON
}

# Encryption through Windows' own cryptography only; bzip2 and LZMA members
# are not used by the archives we read.
build_libzip() {
    cmake_library libzip "$work/src/libzip" \
        -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF \
        -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=ON \
        -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
}

# Autotools is libsodium's own build; the Debian source ships no generated
# configure script. Without stack protection, which on mingw would add a
# dependency on libssp, and with the compiler's runtime linked in, as our
# own binaries have it, so that no libgcc DLL has to ship.
build_libsodium() {
    local source_dir="$work/src/libsodium" build_dir="$work/build/libsodium"
    say "building libsodium $(fetched_version libsodium)"
    (cd "$source_dir" && logged libsodium autoreconf -fi)
    mkdir -p "$build_dir"
    (cd "$build_dir" && logged libsodium "$source_dir/configure" --host="$host" --prefix="$stage" \
        --enable-shared --disable-static --disable-ssp --disable-dependency-tracking \
        CC="$ccache$host-gcc-posix" CFLAGS="-O2 $prefix_map" LDFLAGS="-static-libgcc")
    logged libsodium make -C "$build_dir" -j "$jobs"
    logged libsodium make -C "$build_dir" install
    rm -f "$stage"/lib/*.la
}

# Static, as the tests link it; its CMake package files make
# find_package(GTest) work.
build_googletest() {
    cmake_library googletest "$work/src/googletest" \
        -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
}

# Debian's own header is the declaration half of a Linux shared library; the
# source package has the complete header-only form. It needs Winsock.
install_cpp_httplib() {
    local version
    version=$(fetched_version cpp-httplib)
    mkdir -p "$stage/include" "$stage/lib/pkgconfig"
    cp "$work/src/cpp-httplib/httplib.h" "$stage/include/"
    cat >"$stage/lib/pkgconfig/cpp-httplib.pc" <<EOF
prefix=$stage
includedir=\${prefix}/include

Name: cpp-httplib
Description: A C++ HTTP/HTTPS server and client library (header-only)
Version: ${version%%+*}
Libs: -lws2_32
Cflags: -I\${includedir}
EOF
}

# Header-only and used as Debian ships it; copied so a cross build never puts
# the build machine's /usr/include on its include path.
install_nlohmann_json() {
    mkdir -p "$stage/include" "$stage/share/cmake" "$stage/share/pkgconfig"
    cp -r /usr/include/nlohmann "$stage/include/"
    cp -r /usr/share/cmake/nlohmann_json "$stage/share/cmake/"
    sed "s|^prefix=.*|prefix=$stage|" /usr/share/pkgconfig/nlohmann_json.pc \
        >"$stage/share/pkgconfig/nlohmann_json.pc"
}

# The posix-thread compilers' runtime, so that packaging is "every DLL of bin".
install_runtime_dlls() {
    local dll path
    for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
        path=$("$host-g++-posix" -print-file-name="$dll")
        [ -f "$path" ] || fail "the compiler's runtime $dll was not found"
        cp "$path" "$stage/bin/"
    done
}

# Shipped DLLs need no symbols; Debian's runtime DLLs carry theirs, which
# makes libstdc++ alone ten times its stripped size.
strip_dlls() {
    local dll
    for dll in "$stage"/bin/*.dll; do
        "$host-strip" --strip-unneeded "$dll"
    done
}

# Upstream licence files of each source package, by Debian source name.
licence_files() {
    case $1 in
        freetype) echo "LICENSE.TXT docs/FTL.TXT" ;;
        curl) echo "COPYING" ;;
        libsdl2 | libsdl2-ttf | libsdl2-image) echo "LICENSE.txt" ;;
        *) echo "LICENSE" ;;
    esac
}

licence_section() {
    printf '\n%s\n%s %s\n%s\n\n' "================================================================" "$1" "$2" \
        "================================================================"
}

write_licences() {
    local source file package
    {
        echo "Third-party software in the Windows build, with the licence texts."
        for source in $sources; do
            licence_section "$source" "$(fetched_version "$source") (Debian source package)"
            for file in $(licence_files "$source"); do
                cat "$work/src/$source/$file"
                echo
            done
            echo "---- Debian's copyright file of the source package ----"
            cat "$work/src/$source/debian/copyright"
        done
        for package in libz-mingw-w64-dev nlohmann-json3-dev fonts-dejavu-core \
            gcc-mingw-w64-base mingw-w64-common; do
            licence_section "$package" "$(dpkg-query -W -f='${Version}' "$package") (Debian package)"
            cat "/usr/share/doc/$package/copyright"
        done
    } >"$stage/LICENSES.txt"
}

# Build tools write absolute paths into pkg-config, CMake and libtool files;
# they must name the final prefix, not the folder the build ran in.
relocate_stage() {
    local pattern binaries
    pattern=$(printf '%s' "$stage" | sed 's/[][\.*^$|]/\\&/g')
    grep -rlIZ -- "$stage" "$stage" | xargs -0 -r sed -i "s|$pattern|$prefix|g"
    binaries=$(grep -rl -- "$stage" "$stage" || true)
    if [ -n "$binaries" ]; then
        fail "binary files name the build folder: $binaries"
    fi
}

# Two chains of independent libraries build side by side: a CMake configure
# step runs its checks one at a time, and the other chain keeps the second
# core busy meanwhile. The SDL add-ons need both chains.
build_libraries() {
    local chain status=0
    local chains=()
    (build_sdl2; build_curl; build_googletest) &
    chains+=($!)
    (build_libpng; build_freetype; build_libzip; build_libsodium) &
    chains+=($!)
    for chain in "${chains[@]}"; do
        wait "$chain" || status=1
    done
    [ "$status" -eq 0 ] || fail "a library failed to build"
    build_sdl2_ttf
    build_sdl2_image
}

build_all() {
    local source
    rm -rf "$stage" "$work/src" "$work/build" "$work/fetched-versions"
    find "$work/logs" -name '*.log' ! -name apt-update.log -delete
    mkdir -p "$stage" "$work/src" "$work/build"
    say "fetching source packages"
    for source in $sources; do
        fetch_source "$source"
    done
    install_zlib
    build_libraries
    install_cpp_httplib
    install_nlohmann_json
    install_runtime_dlls
    strip_dlls
    write_licences
    relocate_stage
}

main() {
    local key
    install_packages
    mkdir -p "$work"
    exec 9>"$work/lock"
    flock 9
    refresh_source_lists
    key=$(build_key)
    if [ -f "$prefix/build-stamp.txt" ] && [ "$(cat "$prefix/build-stamp.txt")" = "$key" ]; then
        say "reused $prefix (same recipe and source versions)"
        echo "$prefix"
        return
    fi
    build_all
    printf '%s\n' "$key" >"$stage/build-stamp.txt"
    rm -rf "$prefix"
    mv "$stage" "$prefix"
    # The sources and build trees are only needed to build again, which
    # starts from a fresh download; the logs and apt's lists stay.
    rm -rf "$work/src" "$work/build"
    say "built $prefix:"
    sed 's/^/build-deps:   /' "$work/fetched-versions" >&2
    echo "$prefix"
}

main "$@"
