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
    update/ArchiveHashTest.cpp
    update/MinisignTest.cpp
    update/SignedManifestTest.cpp
    windows/GameGuardTest.cpp
    windows/RegistryTest.cpp
    windows/UserLanguageTest.cpp
    windows/UpdaterStartTest.cpp)

# The DLLs the programs load: the dependencies' and the stage folder's.
set(UPD_WINDOWS_TEST_PATH "${UPD_TEST_HOST_ROOT}${UPD_WINDOWS_DEPS}/bin;${UPD_TEST_HOST_ROOT}${UPD_STAGE_DIR}")

# A stand-in game: "hl.exe" that sleeps until it is ended; and the tests'
# way of starting it and the updater from outside.
add_executable(hl windows/StandInGame.cpp)
# Copies of it run from any folder, with no DLL beside them.
target_link_options(hl PRIVATE -static)
add_library(windows_test_process STATIC windows/WindowsProcess.cpp windows/MessageBoxes.cpp)
target_include_directories(windows_test_process PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(windows_test_process PUBLIC platform)
target_compile_definitions(windows_test_process PRIVATE UPD_STAND_IN_GAME="${UPD_TEST_HOST_ROOT}$<TARGET_FILE:hl>")
add_dependencies(windows_test_process hl)

# What the end-to-end tests on the build machine use to read and answer a
# message box under Wine; it runs from the build folder, so nothing is
# linked dynamically but the system's own.
add_executable(answer_box windows/AnswerBox.cpp windows/MessageBoxes.cpp)
target_include_directories(answer_box PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(answer_box PRIVATE platform)
target_link_options(answer_box PRIVATE -municode -static)

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
target_link_libraries(update_ArchiveHashTest PRIVATE update_engine)
target_link_libraries(update_MinisignTest PRIVATE update_engine)
target_link_libraries(update_SignedManifestTest PRIVATE update_engine)
target_link_libraries(windows_GameGuardTest PRIVATE update_engine windows_test_process)
target_link_libraries(windows_UpdaterStartTest PRIVATE windows_test_process)
add_subdirectory(update/fixtures)

# Wine takes the display language from LC_ALL: the language test runs once
# in German and once in Taiwanese Chinese.
get_test_property(windows_UserLanguageTest ENVIRONMENT user_language_environment)
add_test(NAME windows_UserLanguageTest_zh_TW COMMAND windows_UserLanguageTest
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(windows_UserLanguageTest_zh_TW PROPERTIES TIMEOUT 300 ENVIRONMENT
    "${user_language_environment};LC_ALL=zh_TW.UTF-8")
set_property(TEST windows_UserLanguageTest APPEND PROPERTY ENVIRONMENT "LC_ALL=de_DE.UTF-8")

# The drawing tests link the surface themselves and, like the updater, find
# the faces in "fonts" beside the executable.
add_custom_target(test_fonts
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/fonts
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${UPD_DEJAVU_FACES} ${CMAKE_CURRENT_BINARY_DIR}/fonts)
add_dependencies(vgui2_WideCharacterTest test_fonts)
