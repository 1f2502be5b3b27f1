# Native build of the portable core: unit tests under AddressSanitizer and UBSan (or
# ThreadSanitizer), benchmarks, fuzzers.
set(MIVO_SANITIZE "address+undefined" CACHE STRING "address+undefined, thread, or none")
option(MIVO_BENCH "build the benchmarks" OFF)
option(MIVO_FUZZ "build the libFuzzer targets (clang)" OFF)

set(SANITIZE_FLAGS)
if(MIVO_SANITIZE STREQUAL "address+undefined")
    set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                       -fno-omit-frame-pointer)
elseif(MIVO_SANITIZE STREQUAL "thread")
    set(SANITIZE_FLAGS -fsanitize=thread)
endif()
if(SANITIZE_FLAGS)
    target_compile_options(mivo_core PUBLIC ${SANITIZE_FLAGS})
    target_link_options(mivo_core PUBLIC ${SANITIZE_FLAGS})
endif()

find_package(Threads REQUIRED)
target_link_libraries(mivo_core PUBLIC Threads::Threads)

if(BUILD_TESTING AND NOT MIVO_FUZZ AND NOT MIVO_BENCH)
    find_package(GTest REQUIRED)
    include(GoogleTest)
    file(GLOB CORE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/core/*.cpp)
    add_executable(core_tests ${CORE_TESTS})
    target_compile_options(core_tests PRIVATE ${WARNINGS})
    target_compile_definitions(core_tests PRIVATE MIVO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_link_libraries(core_tests PRIVATE mivo_core GTest::gtest GTest::gtest_main)
    set(CORE_TEST_ENVIRONMENT "UBSAN_OPTIONS=print_stacktrace=1")
    if(MIVO_SANITIZE STREQUAL "thread")
        # A data race fails its test at once (the count stress test is the one that looks).
        set(CORE_TEST_ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1")
    endif()
    gtest_discover_tests(core_tests DISCOVERY_MODE PRE_TEST
                         PROPERTIES ENVIRONMENT "${CORE_TEST_ENVIRONMENT}")

    # Every fuzz target replays its kept corpus and seeds here, under the sanitizers of this
    # build, without libFuzzer.
    file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
    foreach(src IN LISTS FUZZ_TARGETS)
        get_filename_component(name ${src} NAME_WE)
        add_executable(replay_${name} ${src} ${CMAKE_SOURCE_DIR}/fuzz/replay/replay_main.cpp)
        target_compile_options(replay_${name} PRIVATE ${WARNINGS})
        target_link_libraries(replay_${name} PRIVATE mivo_core)
        add_test(NAME FuzzCorpus.${name}
                 COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name}
                         ${CMAKE_SOURCE_DIR}/fuzz/seeds/${name})
        set_tests_properties(FuzzCorpus.${name} PROPERTIES ENVIRONMENT "${CORE_TEST_ENVIRONMENT}")
    endforeach()

    # The set-up scripts, once (not again in the ThreadSanitizer build): ia32's decisions run
    # against fakes, and shellcheck reads every shell script of the project.
    if(NOT MIVO_SANITIZE STREQUAL "thread")
        foreach(case native no-emulator old-emulator registered cannot-run)
            add_test(NAME Setup.ia32.${case}
                     COMMAND ${CMAKE_SOURCE_DIR}/tests/setup/ia32_test ${case})
        endforeach()
        find_program(SHELLCHECK shellcheck REQUIRED)
        file(GLOB SHELL_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scripts/*
             ${CMAKE_SOURCE_DIR}/tests/setup/*)
        add_test(NAME Setup.shellcheck
                 COMMAND ${SHELLCHECK} -S warning ${SHELL_SCRIPTS} ${CMAKE_SOURCE_DIR}/.ci/run)
    endif()
endif()

if(MIVO_BENCH)
    find_package(benchmark REQUIRED)
    file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
    if(BENCH_SOURCES)
        add_executable(core_bench ${BENCH_SOURCES})
        target_compile_options(core_bench PRIVATE ${WARNINGS})
        target_link_libraries(core_bench PRIVATE mivo_core benchmark::benchmark
                                                 benchmark::benchmark_main)
    endif()
endif()

if(MIVO_FUZZ)
    file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
    target_compile_options(mivo_core PUBLIC -fsanitize=fuzzer-no-link)
    foreach(src IN LISTS FUZZ_SOURCES)
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src})
        target_compile_options(${name} PRIVATE ${WARNINGS} -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${name} PRIVATE mivo_core)
    endforeach()
endif()
