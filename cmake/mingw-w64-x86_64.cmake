# Cross-builds for 64-bit Windows with Debian's mingw-w64 compilers.
# The -posix variants use winpthreads; the -win32 ones lack std::thread and
# std::async, which the update engine relies on.
#
# Libraries, headers and CMake packages come only from the compilers' own
# root and from the dependency prefix that scripts/windows/build-deps.sh
# fills; programs (pkg-config, code generators) are the build machine's.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(UPD_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${UPD_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${UPD_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${UPD_MINGW_TRIPLET}-windres)

# The same default as the dependency script, so a plain configure finds the
# prefix that script made without being told.
if(NOT UPD_WINDOWS_DEPS)
    if(DEFINED ENV{UPD_WINDOWS_DEPS} AND NOT "$ENV{UPD_WINDOWS_DEPS}" STREQUAL "")
        set(_upd_deps "$ENV{UPD_WINDOWS_DEPS}")
    elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
        set(_upd_deps "$ENV{XDG_CACHE_HOME}/quill-updater/windows-deps")
    else()
        set(_upd_deps "$ENV{HOME}/.cache/quill-updater/windows-deps")
    endif()
    set(UPD_WINDOWS_DEPS "${_upd_deps}" CACHE PATH "Prefix of the cross-built Windows dependencies")
    unset(_upd_deps)
endif()
# try_compile projects read this file again without the parent's cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES UPD_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH "${UPD_WINDOWS_DEPS}" "/usr/${UPD_MINGW_TRIPLET}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must not fall back to the build machine's Linux libraries.
set(ENV{PKG_CONFIG_LIBDIR} "${UPD_WINDOWS_DEPS}/lib/pkgconfig:${UPD_WINDOWS_DEPS}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
