# What the system's packages provide on Linux ships beside the updater on
# Windows: the dependencies' DLLs and the DejaVu faces the scheme draws with
# (found in the "fonts" folder next to the executable). The stage folder is
# then complete: it runs as it is and is what the package holds.
# The DLLs the updater and its modules import, directly or through each
# other; the compiler's C++ runtime is linked into our binaries instead.
set(UPD_WINDOWS_DLLS)
foreach(name SDL2 SDL2_image SDL2_ttf libfreetype libpng16 libcurl libzip libsodium-23 zlib1 libwinpthread-1)
    set(dll ${UPD_WINDOWS_DEPS}/bin/${name}.dll)
    if(NOT EXISTS ${dll})
        message(FATAL_ERROR "${dll} is missing: run scripts/windows/build-deps.sh")
    endif()
    list(APPEND UPD_WINDOWS_DLLS ${dll})
endforeach()
file(GLOB UPD_DEJAVU_FACES /usr/share/fonts/truetype/dejavu/*.ttf)
if(NOT UPD_DEJAVU_FACES)
    message(FATAL_ERROR "No DejaVu faces in /usr/share/fonts/truetype/dejavu: install fonts-dejavu-core")
endif()
add_custom_target(stage_runtime ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${UPD_WINDOWS_DLLS} ${UPD_STAGE_DIR}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${UPD_STAGE_DIR}/fonts
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${UPD_DEJAVU_FACES} ${UPD_STAGE_DIR}/fonts
    COMMENT "Staging the dependencies' DLLs and the fonts")
add_dependencies(stage_data stage_runtime)
