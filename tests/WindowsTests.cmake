# The tests of the Windows build, run under Wine through CTest's emulator.
# A program under Wine takes about a second to start, so each test program
# is one CTest test rather than one per case. The list names the suites
# that hold no Linux-only fixture (fork, /proc, Xlib, X servers).
set(UPD_WINDOWS_TEST_SOURCES
    platform/TextTest.cpp
    vgui2/KeyValuesTextTest.cpp
    vgui2/KeyValuesTreeTest.cpp
    vgui2/MessageMapTest.cpp
    vgui2/WideCharacterTest.cpp
    vgui2/LabelTest.cpp
    vgui2/RichTextTest.cpp
    app/FactoryTest.cpp
    modules/FileSystemTest.cpp
    update/ManifestTest.cpp
    update/SettingsTest.cpp
    update/ExtractionTest.cpp
    update/TransferTest.cpp
    windows/GameGuardTest.cpp
    windows/RegistryTest.cpp
    windows/UpdaterStartTest.cpp)

# The DLLs the programs load: the dependencies' and the stage folder's.
set(UPD_WINDOWS_TEST_PATH "${UPD_TEST_HOST_ROOT}${UPD_WINDOWS_DEPS}/bin;${UPD_TEST_HOST_ROOT}${UPD_STAGE_DIR}")

# A stand-in game: "hl.exe" that sleeps until it is ended; and the tests'
# way of starting it and the updater from outside.
add_executable(hl windows/StandInGame.cpp)
add_library(windows_test_process STATIC windows/WindowsProcess.cpp)
target_include_directories(windows_test_process PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(windows_test_process PRIVATE UPD_STAND_IN_GAME="${UPD_TEST_HOST_ROOT}$<TARGET_FILE:hl>")
add_dependencies(windows_test_process hl)

foreach(source ${UPD_WINDOWS_TEST_SOURCES})
    get_filename_component(folder ${source} DIRECTORY)
    get_filename_component(name ${source} NAME_WE)
    set(target ${folder}_${name})
    add_executable(${target} ${source})
    target_link_libraries(${target} PRIVATE test_support GTest::gtest_main)
    add_dependencies(${target} updater updfs updvgui2 stage_data)
    add_test(NAME ${target} COMMAND ${target} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${target} PROPERTIES TIMEOUT 300 ENVIRONMENT
        "UPD_STAGE_DIR=${UPD_TEST_HOST_ROOT}${UPD_STAGE_DIR};WINEPATH=${UPD_WINDOWS_TEST_PATH}")
endforeach()

target_link_libraries(update_ManifestTest PRIVATE update_engine)
target_link_libraries(update_SettingsTest PRIVATE update_engine)
target_link_libraries(update_ExtractionTest PRIVATE update_engine)
target_link_libraries(update_TransferTest PRIVATE update_engine)
target_link_libraries(windows_GameGuardTest PRIVATE update_engine windows_test_process)
target_link_libraries(windows_UpdaterStartTest PRIVATE windows_test_process)
add_subdirectory(update/fixtures)

# The drawing tests link the surface themselves and, like the updater, find
# the faces in "fonts" beside the executable.
add_custom_target(test_fonts
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/fonts
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${UPD_DEJAVU_FACES} ${CMAKE_CURRENT_BINARY_DIR}/fonts)
add_dependencies(vgui2_WideCharacterTest test_fonts)
