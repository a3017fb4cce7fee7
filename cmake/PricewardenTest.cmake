# pricewarden_add_test(<name> SOURCES <sources...> LIBRARIES <libs...>)
#
# One QtTest executable per test file, registered with ctest under its own
# name. Every test runs on the offscreen platform and in its own scratch
# HOME, so nothing a test writes reaches the user's real settings or data.
# The locale is pinned: the tests read the program's English texts, which a
# translated desktop would otherwise replace.
function(pricewarden_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES} pricewarden_options)
    add_test(NAME ${name} COMMAND ${name})
    set(scratch ${CMAKE_BINARY_DIR}/test-home/${name})
    file(MAKE_DIRECTORY ${scratch})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANGUAGE=;HOME=${scratch};XDG_CONFIG_HOME=${scratch}/.config;XDG_DATA_HOME=${scratch}/.local/share;XDG_CACHE_HOME=${scratch}/.cache;XDG_RUNTIME_DIR=${scratch}/runtime;DBUS_SESSION_BUS_ADDRESS=;PRICEWARDEN_CONFIG=;http_proxy=;HTTP_PROXY=;https_proxy=;no_proxy=")
endfunction()
