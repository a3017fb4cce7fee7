# pricewarden_qt_sqlite_is_ours(<out-var> <sqlite-library-file>)
#
# Sets <out-var> to ON when the shared QSQLITE driver plugin of the Qt found
# by find_package(Qt6 COMPONENTS Sql) loads <sqlite-library-file> itself, so
# that the SQLite connection the driver hands out belongs to the library this
# program links. That holds on Debian and most Linux distributions; Qt's own
# builds (macOS, Windows, the online installers) compile a private SQLite
# into the plugin, and a static plugin cannot be inspected: OFF then.
function(pricewarden_qt_sqlite_is_ours out_var sqlite_library)
    set(${out_var} OFF PARENT_SCOPE)
    # Not every Qt package loads its plugins' targets with the module.
    if(NOT TARGET Qt6::QSQLiteDriverPlugin)
        find_package(Qt6QSQLiteDriverPlugin CONFIG QUIET HINTS ${Qt6Sql_DIR})
    endif()
    if(NOT TARGET Qt6::QSQLiteDriverPlugin OR NOT EXISTS "${sqlite_library}")
        return()
    endif()
    get_target_property(plugin_type Qt6::QSQLiteDriverPlugin TYPE)
    if(NOT plugin_type STREQUAL "MODULE_LIBRARY" AND NOT plugin_type STREQUAL "SHARED_LIBRARY")
        return()
    endif()
    get_target_property(plugin Qt6::QSQLiteDriverPlugin LOCATION)
    if(NOT plugin OR NOT EXISTS "${plugin}")
        return()
    endif()

    # Resolving a binary's dependencies is allowed in script mode only.
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/qsqlite-dependencies.txt)
    file(REMOVE ${list_file})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DBINARY=${plugin} -DOUTPUT=${list_file}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ListRuntimeDependencies.cmake
        RESULT_VARIABLE result
        OUTPUT_QUIET ERROR_QUIET)
    if(NOT result EQUAL 0 OR NOT EXISTS ${list_file})
        return()
    endif()
    file(STRINGS ${list_file} dependencies)
    file(REAL_PATH "${sqlite_library}" ours)
    foreach(dependency IN LISTS dependencies)
        if(dependency AND EXISTS "${dependency}")
            file(REAL_PATH "${dependency}" resolved)
            if(resolved STREQUAL ours)
                set(${out_var} ON PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
endfunction()
