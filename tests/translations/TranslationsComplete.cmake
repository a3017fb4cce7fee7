# ctest: cmake -DLUPDATE=... -DLRELEASE=... -DSOURCE_DIR=... -DSCRATCH=... -P TranslationsComplete.cmake
# Every text the sources mark is translated in every language: lupdate brings
# scratch copies of translations/*.ts up to date with the sources, and
# lrelease must find nothing unfinished in them.

file(REMOVE_RECURSE ${SCRATCH})
file(GLOB originals ${SOURCE_DIR}/translations/*.ts)
file(COPY ${originals} DESTINATION ${SCRATCH})
file(GLOB copies ${SCRATCH}/*.ts)
execute_process(COMMAND ${LUPDATE} ${SOURCE_DIR}/src ${SOURCE_DIR}/forms -no-obsolete
    -locations none -ts ${copies} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT copies OR result)
    message(FATAL_ERROR "lupdate failed (${result}):\n${output}")
endif()
foreach(copy ${copies})
    execute_process(COMMAND ${LRELEASE} ${copy} -qm ${copy}.qm OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    if(NOT output MATCHES " finished and 0 unfinished\\)" OR output MATCHES "Ignored")
        file(READ ${copy} ts)
        string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\""
            open "${ts}")
        get_filename_component(name ${copy} NAME)
        message(FATAL_ERROR "translations/${name} lacks translations; run "
            "'ninja update_translations' and translate:\n${open}\n${output}")
    endif()
endforeach()
