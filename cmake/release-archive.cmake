# Makes an archive that CPack packed the same bytes on every run and machine: every entry's
# time is the last commit's, owners and modes are fixed, and the entries stand sorted by name.
# CPack (3.25) stamps the entries with SOURCE_DATE_EPOCH, but takes their order, and their
# owners and modes, from the file system. The zip is normalised by strip-nondeterminism, the
# tarball packed anew by GNU tar from what it holds.
# Usage: cmake -D ARCHIVE=FILE -P release-archive.cmake   (with SOURCE_DATE_EPOCH set)
cmake_minimum_required(VERSION 3.18)
set(epoch $ENV{SOURCE_DATE_EPOCH})
if(NOT epoch OR NOT EXISTS "${ARCHIVE}")
    message(FATAL_ERROR "Usage: SOURCE_DATE_EPOCH=TIME cmake -D ARCHIVE=FILE -P ${CMAKE_CURRENT_LIST_FILE}")
endif()
# Every command must end with 0: a result may also be a word, such as "Subprocess killed".
set(results 0)
if(ARCHIVE MATCHES [[\.zip$]])
    execute_process(COMMAND strip-nondeterminism --type zip --timestamp ${epoch} ${ARCHIVE}
                    RESULT_VARIABLE results)
elseif(ARCHIVE MATCHES [[\.tar\.gz$]])
    set(unpacked ${ARCHIVE}.d)
    file(REMOVE_RECURSE ${unpacked})
    file(MAKE_DIRECTORY ${unpacked})
    execute_process(COMMAND tar -xzf ${ARCHIVE} -C ${unpacked} RESULT_VARIABLE results)
    file(GLOB top RELATIVE ${unpacked} ${unpacked}/*)
    if(results STREQUAL "0")
        execute_process(
            COMMAND tar --create --sort=name --format=gnu --mtime=@${epoch} --owner=0 --group=0
                    --numeric-owner --mode=u+rw,go=rX,a-s --directory=${unpacked} ${top}
            COMMAND gzip -9 --no-name
            OUTPUT_FILE ${ARCHIVE}
            RESULTS_VARIABLE results)
    endif()
    file(REMOVE_RECURSE ${unpacked})
endif()
foreach(result IN LISTS results)
    if(NOT result STREQUAL "0")
        # What is left may be cut short: no half archive goes out.
        file(REMOVE ${ARCHIVE})
        message(FATAL_ERROR "${ARCHIVE} could not be made the same on every run (${results})")
    endif()
endforeach()
