# pricewarden_add_test(<name> SOURCES <sources...> LIBRARIES <libs...>)
#
# One QtTest executable per test file, registered with ctest under its own
# name. Every test runs on the offscreen platform and in its own scratch
# HOME, so nothing a test writes reaches the user's real settings or data.
# The locale is pinned: the tests read the program's English texts, which a
# translated desktop would otherwise replace.
# In a sanitized build the sanitizers' settings travel along; child
# processes that a test starts inherit them.
set(PRICEWARDEN_SANITIZER_ENVIRONMENT "")
if(PRICEWARDEN_SANITIZE)
    set(PRICEWARDEN_SANITIZER_ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:fast_unwind_on_malloc=0"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
        "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/sanitizer/lsan.supp:print_suppressions=0")
endif()

function(pricewarden_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES} pricewarden_options)
    add_test(NAME ${name} COMMAND ${name})
    set(scratch ${CMAKE_BINARY_DIR}/test-home/${name})
    file(MAKE_DIRECTORY ${scratch})
    set(environment "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANGUAGE=;HOME=${scratch};XDG_CONFIG_HOME=${scratch}/.config;XDG_DATA_HOME=${scratch}/.local/share;XDG_CACHE_HOME=${scratch}/.cache;XDG_RUNTIME_DIR=${scratch}/runtime;DBUS_SESSION_BUS_ADDRESS=;PRICEWARDEN_CONFIG=;http_proxy=;HTTP_PROXY=;https_proxy=;no_proxy=")
    list(APPEND environment ${PRICEWARDEN_SANITIZER_ENVIRONMENT})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "${environment}")
endfunction()
