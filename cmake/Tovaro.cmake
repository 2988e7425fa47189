# tovaro_library(NAME SOURCES ... LIBS ...): one library per layer, with the engine's literal rules.
function(tovaro_library name)
    cmake_parse_arguments(ARG "STRICT_LITERALS" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    if(ARG_STRICT_LITERALS)
        # Every literal in the engine is spelled out as UTF-8; the data is Chinese.
        target_compile_definitions(${name} PRIVATE QT_NO_CAST_FROM_ASCII)
    endif()
endfunction()

# tovaro_test(NAME SOURCES ... LIBS ...): one GoogleTest program per module, run headless by CTest.
function(tovaro_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        TOVARO_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
        TOVARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=60000;LC_ALL=C.UTF-8")
endfunction()

# tovaro_fuzzer(NAME SOURCES ... LIBS ...): a libFuzzer target; built only in the clang fuzz build.
function(tovaro_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
