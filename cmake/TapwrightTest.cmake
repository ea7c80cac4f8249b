# tapwright_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [LEAK_CHECK] [QT_APP])
# One GoogleTest executable per call, registered with CTest. LEAK_CHECK turns on the
# leak checker in the sanitizer build (tests that start Qt leave it off: Qt keeps
# some allocations until exit). QT_APP starts one offscreen Qt application for the
# whole binary (tests/support/offscreen_app.cpp).
function(tapwright_add_test)
    cmake_parse_arguments(T "LEAK_CHECK;QT_APP" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    if(T_QT_APP)
        target_sources(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/offscreen_app.cpp)
    endif()
    target_link_libraries(${T_NAME} PRIVATE tapwright_options GTest::gtest GTest::gtest_main ${T_LIBS})
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(env "QT_QPA_PLATFORM=offscreen")
    if(T_LEAK_CHECK)
        list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1")
    endif()
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}"
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
