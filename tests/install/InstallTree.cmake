# ctest: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DROOT=... -DPREFIX=... -DBINDIR=...
#   -DDATADIR=... -DID=... -DEXECUTABLE=... -P InstallTree.cmake
# Installs into the scratch root ROOT with DESTDIR and checks that exactly
# the app's files land where a freedesktop.org desktop looks for them, that
# both validators accept them (validate-tree also matches the metadata with
# the menu entry), and that the entry starts the installed executable.

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${result}):\n${output}")
    endif()
    set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${ROOT})
set(ENV{DESTDIR} ${ROOT})
run(${CMAKE_COMMAND} --install ${BUILD_DIR})

set(expected ${BINDIR}/pricewarden
    ${DATADIR}/applications/${ID}.desktop
    ${DATADIR}/metainfo/${ID}.metainfo.xml
    ${DATADIR}/icons/hicolor/scalable/apps/${ID}.svg
    ${DATADIR}/doc/pricewarden/pricewarden.example.ini)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${ID}.png)
endforeach()
# Every sound the project ships.
file(GLOB sounds RELATIVE ${SOURCE_DIR}/sound ${SOURCE_DIR}/sound/*.wav)
list(TRANSFORM sounds PREPEND ${DATADIR}/pricewarden/sound/)
list(APPEND expected ${sounds})
file(GLOB_RECURSE installed RELATIVE ${ROOT}${PREFIX} LIST_DIRECTORIES false ${ROOT}/*)
list(SORT expected)
list(SORT installed)
if(NOT installed STREQUAL expected)
    string(REPLACE ";" "\n  " expected "${expected}")
    string(REPLACE ";" "\n  " installed "${installed}")
    message(FATAL_ERROR "Installed:\n  ${installed}\nexpected:\n  ${expected}")
endif()

# desktop-file-validate passes a file with warnings; they count here.
run(desktop-file-validate ${ROOT}${PREFIX}/${DATADIR}/applications/${ID}.desktop)
if(output)
    message(FATAL_ERROR "desktop-file-validate:\n${output}")
endif()
run(appstreamcli validate --no-net ${ROOT}${PREFIX}/${DATADIR}/metainfo/${ID}.metainfo.xml)
run(appstreamcli validate-tree --no-net ${ROOT}${PREFIX})

# The menu entry starts the installed executable.
file(STRINGS ${ROOT}${PREFIX}/${DATADIR}/applications/${ID}.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${EXECUTABLE}" OR NOT EXISTS ${ROOT}${EXECUTABLE})
    message(FATAL_ERROR "The menu entry starts another program: ${exec}")
endif()
