# Helpers shared by every folder of the project.

# Warnings for the project's own targets (third-party code is not touched).
function(vekta_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# A plain C++ library: no Qt, byte strings only.
function(vekta_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    vekta_warnings(${target})
endfunction()

# A library of widgets: moc runs over its headers.
function(vekta_qt_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    vekta_library(${target} SOURCES ${ARG_SOURCES} DEPS ${ARG_DEPS} Qt6::Widgets)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
endfunction()

# One GoogleTest program registered with ctest. GUI test programs link
# vekta_qt_test_main, whose main() selects the offscreen platform.
function(vekta_test target)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    vekta_warnings(${target})
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()
