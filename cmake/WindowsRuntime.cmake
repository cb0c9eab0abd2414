# What the system's packages provide on Linux ships beside the updater on
# Windows: the dependencies' DLLs and the DejaVu faces the scheme draws with
# (found in the "fonts" folder next to the executable). The stage folder is
# then complete: it runs as it is and is what the package holds.
file(GLOB UPD_WINDOWS_DLLS ${UPD_WINDOWS_DEPS}/bin/*.dll)
file(GLOB UPD_DEJAVU_FACES /usr/share/fonts/truetype/dejavu/*.ttf)
if(NOT UPD_WINDOWS_DLLS OR NOT UPD_DEJAVU_FACES)
    message(FATAL_ERROR "No dependency DLLs in ${UPD_WINDOWS_DEPS}/bin or no DejaVu faces: run scripts/windows/build-deps.sh")
endif()
add_custom_target(stage_runtime ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${UPD_WINDOWS_DLLS} ${UPD_STAGE_DIR}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${UPD_STAGE_DIR}/fonts
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${UPD_DEJAVU_FACES} ${UPD_STAGE_DIR}/fonts
    COMMENT "Staging the dependencies' DLLs and the fonts")
add_dependencies(stage_data stage_runtime)
