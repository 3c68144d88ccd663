# vexa_add_test(NAME <target> SOURCES <files...> LIBS <libs...>
#               [GUI | MAIN <library>] [FIXTURES <names...>] [ENVIRONMENT <VAR=value...>]
#               [TIMEOUT <s>])
#
# Builds one GoogleTest program and registers every test case of it with CTest.
# GUI programs get a QApplication (tests/support/gui_main.cpp) on the offscreen platform;
# MAIN names another main() (the private X server of tests/support/tray_main.cpp); the
# others use GoogleTest's own main. FIXTURES names CTest fixtures (a print server,
# a scanner configuration) that must be set up first.
include(GoogleTest)

function(vexa_add_test)
    cmake_parse_arguments(T "GUI" "NAME;TIMEOUT;MAIN" "SOURCES;LIBS;FIXTURES;ENVIRONMENT" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock vexa_testsupport
        vexa_sanitizer_options)
    if(T_MAIN)
        target_link_libraries(${T_NAME} PRIVATE ${T_MAIN})
    elseif(T_GUI)
        target_link_libraries(${T_NAME} PRIVATE vexa_gui_test_main)
    else()
        target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    # Sanitizer and platform settings are compiled into vexa_testsupport, so each test
    # program behaves the same whether CTest or a developer starts it.
    set(props TIMEOUT ${T_TIMEOUT})
    if(T_ENVIRONMENT)
        list(JOIN T_ENVIRONMENT "\\;" env)
        list(APPEND props ENVIRONMENT "${env}")
    endif()
    if(T_FIXTURES)
        list(JOIN T_FIXTURES "\\;" fixtures)
        list(APPEND props FIXTURES_REQUIRED "${fixtures}")
    endif()
    gtest_discover_tests(${T_NAME}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ${props})
endfunction()
