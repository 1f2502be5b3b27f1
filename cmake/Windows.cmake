# Cross build: Mivo.exe, and the Windows test executable that ctest runs under Wine.
enable_language(RC)

# Nothing is thrown, so unwind tables would only be dead weight in the executable.
list(APPEND PRODUCT_FLAGS -fno-asynchronous-unwind-tables)
target_compile_options(mivo_core PRIVATE -fno-asynchronous-unwind-tables)

set(WIN_LIBS comctl32 comdlg32 gdi32 user32 kernel32 shell32 ole32 winmm advapi32 msvfw32)

add_library(mivo_shell STATIC ${SHELL_SOURCES})
# The shell answers the user and Windows, a few calls a second at most; the portable core keeps
# the release build's speed for the count and its text. Small code is what the shell's time
# is worth.
target_compile_options(mivo_shell PRIVATE ${WARNINGS} ${PRODUCT_FLAGS} -Os)
target_compile_definitions(mivo_shell PUBLIC WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601
                                             WINVER=0x0601 NOMINMAX)
target_link_libraries(mivo_shell PUBLIC mivo_core ${WIN_LIBS})

set(RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/resources/mivo.rc)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_SOURCE_DIR}")
file(GLOB RESOURCE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
set_source_files_properties(${RESOURCE_SCRIPT} PROPERTIES OBJECT_DEPENDS "${RESOURCE_FILES}")

# One static file that imports only Windows system DLLs.
add_executable(Mivo WIN32 ${ENTRY_SOURCE} ${RESOURCE_SCRIPT})
target_compile_options(Mivo PRIVATE ${WARNINGS} ${PRODUCT_FLAGS})
target_link_libraries(Mivo PRIVATE mivo_shell)
# No link time in the header: two builds of one source give the same bytes. Loaded at a random
# address (ASLR, with its relocations kept) and with data never run as code (DEP), on purpose
# rather than by the linker's defaults.
target_link_options(Mivo PRIVATE -static -s -Wl,--no-insert-timestamp -Wl,--dynamicbase,--nxcompat)

# The user documentation lies beside the program.
add_custom_command(TARGET Mivo POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/ReadMe.htm
            ${CMAKE_BINARY_DIR}/ReadMe.htm)

if(BUILD_TESTING)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    include(GoogleTest)

    file(GLOB WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
    add_executable(win_tests ${WIN_TESTS} ${RESOURCE_SCRIPT})
    target_compile_options(win_tests PRIVATE ${WARNINGS})
    target_link_libraries(win_tests PRIVATE mivo_shell GTest::gtest version oleacc oleaut32 uuid)
    target_link_options(win_tests PRIVATE -static)
    add_dependencies(win_tests Mivo)
    # A folder of 12,000 sound names for the random choice, beside Mivo.exe, made on the Linux
    # side: under Wine creating them one by one would take a minute.
    set(MANY_FILES ${CMAKE_BINARY_DIR}/manyfiles)
    add_custom_command(TARGET win_tests POST_BUILD
        COMMAND sh -c "[ -f '${MANY_FILES}/s11999.wav' ] || { mkdir -p '${MANY_FILES}' && cd '${MANY_FILES}' && seq 0 11999 | sed 's/^/s/; s/$/.wav/' | xargs touch; }"
        VERBATIM)
    # A library to plant beside Mivo.exe under the names of system libraries, and a program that
    # loads one by its bare name, as the control of that test.
    add_library(plant SHARED ${CMAKE_SOURCE_DIR}/tests/win/plant/plant.cpp)
    set_target_properties(plant PROPERTIES PREFIX "")
    target_compile_options(plant PRIVATE ${WARNINGS})
    target_link_options(plant PRIVATE -static -s)
    add_executable(plant_probe WIN32 ${CMAKE_SOURCE_DIR}/tests/win/plant/probe.cpp)
    target_compile_options(plant_probe PRIVATE ${WARNINGS})
    target_link_options(plant_probe PRIVATE -static -s)
    add_dependencies(win_tests plant plant_probe)

    # One process per test: every test starts from fresh process-wide state. Two run at a time,
    # sharing the one display and wineserver, except those that need the whole desktop to
    # themselves and run alone: keys typed on the real keyboard into the window that has the
    # focus (a window another test opens would take it), the mouse pointer, keys from anywhere
    # (one set for the whole desktop), the tray's own window, the display scale that a process
    # takes from the registry as it starts, the keyboard focus and the mouse capture of a
    # dialog, which another program's window coming to the front takes away, and the one
    # keeper's mutex of the real program.
    string(CONCAT DESKTOP_TESTS
           "KeysPage.*:KeysFromAnywhere.*:ActionsPage.TestWritesTheAlarmSoundPathUnderTheCountLock"
           ":QuickSetWindow.OpensUnderThePointer*:TrayIcon.*:Dpi.*:Dpi/*:Prompt.KeysAnswerIt"
           ":Prompt.ButtonsAnswerIt:Prompt.TimeUpDuringConfirmationKeepsApart"
           ":KeptCountRealProgram.*")
    gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         TEST_FILTER "${DESKTOP_TESTS}"
                         PROPERTIES RUN_SERIAL TRUE TIMEOUT 120
                         ENVIRONMENT "MIVO_EXE=${CMAKE_BINARY_DIR}/Mivo.exe")
    gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         TEST_FILTER "-${DESKTOP_TESTS}"
                         PROPERTIES TIMEOUT 120
                         ENVIRONMENT "MIVO_EXE=${CMAKE_BINARY_DIR}/Mivo.exe")
endif()

# Whole-process benchmark programs under Wine (scripts/bench-win), built only on request:
# `cmake --build <dir> --target win_bench`. Kept out of `all` so the everyday build and test
# cycle neither waits for them nor breaks on them.
add_executable(bench_empty_window WIN32 EXCLUDE_FROM_ALL
               ${CMAKE_SOURCE_DIR}/bench/win/empty_window_bench_win.cpp
               ${CMAKE_SOURCE_DIR}/bench/win/bench_report_win.cpp)
target_include_directories(bench_empty_window PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_empty_window PRIVATE ${WARNINGS})
target_link_libraries(bench_empty_window PRIVATE user32 gdi32 kernel32)
target_link_options(bench_empty_window PRIVATE -static -s)

# Links the shell and the resources the way win_tests.exe does, and is linked and stripped
# like Mivo.exe, so its start-up loads what the program's does.
add_executable(bench_mivo_shell WIN32 EXCLUDE_FROM_ALL
               ${CMAKE_SOURCE_DIR}/bench/win/shell_bench_win.cpp
               ${CMAKE_SOURCE_DIR}/bench/win/paint_bench_win.cpp
               ${CMAKE_SOURCE_DIR}/bench/win/alarm_bench_win.cpp
               ${CMAKE_SOURCE_DIR}/bench/win/bench_report_win.cpp ${RESOURCE_SCRIPT})
target_compile_options(bench_mivo_shell PRIVATE ${WARNINGS})
target_link_libraries(bench_mivo_shell PRIVATE mivo_shell)
target_link_options(bench_mivo_shell PRIVATE -static -s)

add_custom_target(win_bench DEPENDS Mivo bench_empty_window bench_mivo_shell)
