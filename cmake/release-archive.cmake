# Run by CPack after it packs a release (CPACK_POST_BUILD_SCRIPTS), so that the same sources
# give the same bytes on every run and machine: every entry's time is the last commit's
# (SOURCE_DATE_EPOCH, else read from git), owners and modes are fixed, and the entries stand
# sorted by name.
# CPack of CMake 3.25 takes times and owners from the files and their order from the file
# system, so the zip is normalised by strip-nondeterminism and the tarball packed anew from
# the folder CPack made, by GNU tar with the same settings.
set(epoch $ENV{SOURCE_DATE_EPOCH})
if(NOT epoch)
    execute_process(COMMAND git -C ${CPACK_DAYVANE_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT epoch)
    message(STATUS "Neither SOURCE_DATE_EPOCH nor a last commit: the archive keeps its times")
    return()
endif()
foreach(package ${CPACK_PACKAGE_FILES})
    if(package MATCHES [[\.zip$]])
        execute_process(COMMAND strip-nondeterminism --type zip --timestamp ${epoch} ${package}
                        COMMAND_ERROR_IS_FATAL ANY)
    elseif(package MATCHES [[\.tar\.gz$]])
        execute_process(
            COMMAND tar --create --sort=name --format=gnu --mtime=@${epoch} --owner=0
                    --group=0 --numeric-owner --mode=u+rw,go=rX,a-s
                    --directory=${CPACK_TOPLEVEL_DIRECTORY} ${CPACK_PACKAGE_FILE_NAME}
            COMMAND gzip -9 --no-name
            OUTPUT_FILE ${package}
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
