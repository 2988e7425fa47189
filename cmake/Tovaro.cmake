# tovaro_library(NAME [STRICT_LITERALS] [HEADLESS] SOURCES ... LIBS ...): one library per layer, with
# the engine's literal rules; a HEADLESS layer is refused Qt Widgets (see tovaro_refuse_widgets).
function(tovaro_library name)
    cmake_parse_arguments(ARG "STRICT_LITERALS;HEADLESS" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    if(ARG_HEADLESS)
        tovaro_refuse_widgets(${name})
    endif()
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

# tovaro_refuse_widgets(TARGET): the target must run without windows. Configuring fails when it
# links Qt Widgets, directly or through another library; building fails when one of the files of
# its folder includes a Qt Widgets header. Both are checked, because the include path of Qt Core
# reaches <QtWidgets/...> headers without linking them.
function(tovaro_refuse_widgets target)
    set_property(GLOBAL APPEND PROPERTY TOVARO_HEADLESS_TARGETS ${target})
    get_target_property(folder ${target} SOURCE_DIR)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.headless)
    file(GLOB_RECURSE scanned CONFIGURE_DEPENDS ${folder}/*.h ${folder}/*.cpp)
    # Sub-folders of their own (report/ui) are other layers.
    list(FILTER scanned EXCLUDE REGEX "^${folder}/[^/]+/")
    file(WRITE ${stamp}.files "${scanned}")
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DTARGET=${target} -DHEADERS=${TOVARO_WIDGET_HEADERS}
                -DFILES=${stamp}.files -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/RefuseWidgets.cmake
        DEPENDS ${scanned} ${PROJECT_SOURCE_DIR}/cmake/RefuseWidgets.cmake
        COMMENT "Checking that ${target} includes no Qt Widgets header" VERBATIM)
    add_custom_target(${target}_headless DEPENDS ${stamp})
    add_dependencies(${target} ${target}_headless)
endfunction()

# Walks the link closure of every target given to tovaro_refuse_widgets; call once, at the end.
# Qt Print Support is a leaf: QPrinter's library loads Qt Widgets for its own dialogs, which the
# headless layers never include (the header scan sees to that).
function(tovaro_check_headless_links)
    get_property(targets GLOBAL PROPERTY TOVARO_HEADLESS_TARGETS)
    foreach(target IN LISTS targets)
        set(pending ${target})
        set(seen)
        while(pending)
            list(POP_FRONT pending current)
            if(current IN_LIST seen OR NOT TARGET ${current} OR current STREQUAL "Qt6::PrintSupport")
                continue()
            endif()
            list(APPEND seen ${current})
            if(current STREQUAL "Qt6::Widgets" OR current STREQUAL "Qt::Widgets")
                message(FATAL_ERROR "${target} must not link Qt Widgets; it reaches them through: ${seen}")
            endif()
            get_target_property(type ${current} TYPE)
            set(links)
            if(NOT type STREQUAL "INTERFACE_LIBRARY")
                get_target_property(direct ${current} LINK_LIBRARIES)
                if(direct)
                    list(APPEND links ${direct})
                endif()
            endif()
            get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
            if(interface)
                list(APPEND links ${interface})
            endif()
            foreach(link IN LISTS links)
                string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
                list(APPEND pending ${link})
            endforeach()
        endwhile()
    endforeach()
endfunction()

# Writes the names of Qt Widgets' headers ("QWidget", "qwidget.h", ...) to a file for the checks above.
function(tovaro_list_widget_headers out)
    get_target_property(dirs Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
    set(names)
    foreach(dir IN LISTS dirs)
        if(dir MATCHES "/QtWidgets$")
            file(GLOB headers RELATIVE ${dir} ${dir}/*)
            list(APPEND names ${headers})
        endif()
    endforeach()
    if(NOT names)
        message(FATAL_ERROR "Qt Widgets' header folder not found in ${dirs}")
    endif()
    # A few headers moved to Qt Gui and are left in Qt Widgets as forwarders: allowed.
    foreach(module IN ITEMS Core Gui PrintSupport)
        get_target_property(dirs Qt6::${module} INTERFACE_INCLUDE_DIRECTORIES)
        foreach(dir IN LISTS dirs)
            if(dir MATCHES "/Qt${module}$")
                file(GLOB headers RELATIVE ${dir} ${dir}/*)
                list(REMOVE_ITEM names ${headers})
            endif()
        endforeach()
    endforeach()
    file(WRITE ${out} "${names}")
endfunction()
