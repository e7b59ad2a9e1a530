# What the releases owe the makers of what they bundle: each bundled file's component, with
# its licence and copyright notice under licenses/<component>/, and licenses/README.txt
# mapping every file of the release to its component. Notices are taken from where each
# component comes from: a Debian package's own copyright file, found by asking dpkg which
# package holds the file; for Qt, which we build ourselves from Debian's source packages, those
# packages' debian/copyright and the LGPL and GPL texts of its source. A bundled file with no
# notice, or whose component's licence packaging/licences.cmake does not name, stops the build.
#   dayvane_qt_notices(SOURCE_DIR OUT_DIR)  at configure time: the notices of each Debian
#                                           source package of Qt in SOURCE_DIR (.dsc, .orig
#                                           and .debian archives), in OUT_DIR/<package>/
#   dayvane_notices(TOP BUNDLED)            at install time, once everything is in TOP: the
#                                           licenses/ folder; BUNDLED lists "file|origin", a
#                                           file as the release names it and where it came from
cmake_policy(PUSH)
cmake_policy(VERSION 3.18) # also when read by an install script
get_filename_component(notices_project "${CMAKE_CURRENT_LIST_DIR}/.." REALPATH)
include(${notices_project}/packaging/licences.cmake)

function(dayvane_qt_notices source_dir out_dir)
    file(GLOB descriptions "${source_dir}/*.dsc")
    if(NOT descriptions)
        message(FATAL_ERROR "No Debian source package of Qt in ${source_dir} "
                            "(scripts/qt-source fetches them)")
    endif()
    file(REMOVE_RECURSE "${out_dir}")
    foreach(dsc ${descriptions})
        file(STRINGS "${dsc}" package REGEX "^Source: ")
        file(STRINGS "${dsc}" version REGEX "^Version: ")
        string(REGEX REPLACE "^Source: " "" package "${package}")
        string(REGEX REPLACE "^Version: " "" version "${version}")
        string(REGEX REPLACE "-[^-]*$" "" upstream "${version}")
        set(notices "${out_dir}/${package}")
        file(ARCHIVE_EXTRACT INPUT "${source_dir}/${package}_${version}.debian.tar.xz"
             DESTINATION "${out_dir}/unpacked" PATTERNS debian/copyright)
        file(ARCHIVE_EXTRACT INPUT "${source_dir}/${package}_${upstream}.orig.tar.xz"
             DESTINATION "${out_dir}/unpacked" PATTERNS "*/LICENSES/LGPL-3.0-only.txt"
             "*/LICENSES/GPL-3.0-only.txt")
        file(GLOB texts "${out_dir}/unpacked/*/LICENSES/*.txt")
        list(LENGTH texts count)
        if(NOT EXISTS "${out_dir}/unpacked/debian/copyright" OR NOT count EQUAL 2)
            message(FATAL_ERROR "${package} ${version} in ${source_dir} lacks its debian/copyright "
                                "or the LGPL-3.0 and GPL-3.0 texts")
        endif()
        file(COPY "${out_dir}/unpacked/debian/copyright" ${texts} DESTINATION "${notices}")
        file(WRITE "${notices}.version" "${version}")
        file(REMOVE_RECURSE "${out_dir}/unpacked")
    endforeach()
endfunction()

# Sets problem where PACKAGE's notice (a file, or a folder with Debian's copyright) is
# machine-readable (DEP-5) and the SPDX expression packaging/licences.cmake gives the package
# names a licence that the notice does not name for any of the package's own files.
function(check_licence package notice)
    if(IS_DIRECTORY "${notice}")
        set(notice "${notice}/copyright")
    endif()
    file(READ "${notice}" text)
    string(REPLACE ";" "," text "${text}")
    string(REGEX REPLACE "\n[ \t]*\n" ";" stanzas "${text}")
    set(named)
    set(names)
    foreach(stanza ${stanzas})
        if(NOT stanza MATCHES "(^|\n)Files:[ \t]*([^\n]*)")
            continue() # the header, or a licence's text
        endif()
        if(CMAKE_MATCH_2 MATCHES "^debian/" OR NOT stanza MATCHES "\nLicense:[ \t]*([^\n]*)")
            continue()
        endif()
        string(STRIP "${CMAKE_MATCH_1}" name)
        string(REGEX REPLACE " +([Aa][Nn][Dd]|[Oo][Rr]|[Ww][Ii][Tt][Hh]) +|, *" ";" parts "${name}")
        foreach(part ${parts})
            list(APPEND names "${part}")
            string(MAKE_C_IDENTIFIER "${part}" id)
            if(DEFINED dep5_${package}__${id})
                list(APPEND named ${dep5_${package}__${id}})
            elseif(DEFINED dep5_${id})
                list(APPEND named ${dep5_${id}})
            endif()
        endforeach()
    endforeach()
    if(NOT names)
        return() # not machine-readable: read by a person only
    endif()
    list(REMOVE_DUPLICATES names)
    string(REGEX REPLACE "[()]" " " ids "${licence_${package}}")
    string(REGEX REPLACE " +(AND|OR|WITH) +" ";" ids "${ids}")
    foreach(id ${ids})
        string(STRIP "${id}" id)
        if(NOT id IN_LIST named)
            list(JOIN names ", " names)
            set(problem "packaging/licences.cmake gives ${package} \"${licence_${package}}\", but \
its notice, ${notice}, names no licence that is ${id} for the package's files (it names: \
${names}; dep5_ in packaging/licences.cmake maps names to SPDX ids)" PARENT_SCOPE)
            return()
        endif()
    endforeach()
endfunction()

# Sets component, version and notices (a folder or a file) for the file at ORIGIN, or
# problem, saying why it has none.
function(component_of origin)
    get_filename_component(real "${origin}" REALPATH)
    string(FIND "${real}" "${DAYVANE_QT_PREFIX}/" in_qt)
    if(DAYVANE_QT_PREFIX AND in_qt EQUAL 0)
        # Qt: qtwayland's libraries and plugins name Wayland in their path, the rest is qtbase.
        string(TOLOWER "${real}" lower)
        if(lower MATCHES "wayland")
            set(package qt6-wayland)
        else()
            set(package qt6-base)
        endif()
        set(notices "${DAYVANE_QT_NOTICES}/${package}")
        if(NOT EXISTS "${notices}.version")
            set(problem "No notice for ${origin}: Debian's ${package} source is not at hand"
                PARENT_SCOPE)
            return()
        endif()
        file(READ "${notices}.version" version)
    else()
        # dpkg may know a library by its path before /usr was merged.
        string(REGEX REPLACE "^/usr/" "/" unmerged "${real}")
        execute_process(COMMAND dpkg-query --search "${real}" "${unmerged}"
                        OUTPUT_VARIABLE found ERROR_QUIET)
        string(REGEX REPLACE "[:,].*" "" package "${found}")
        set(notices /usr/share/doc/${package}/copyright)
        if(NOT package OR NOT EXISTS "${notices}")
            set(problem "No notice for ${origin}: no Debian package with a copyright file holds it"
                PARENT_SCOPE)
            return()
        endif()
        execute_process(COMMAND dpkg-query --show --showformat=\${Version} ${package}
                        OUTPUT_VARIABLE version)
    endif()
    if(NOT DEFINED licence_${package})
        set(problem "The licence of ${package} (of ${origin}) is not in packaging/licences.cmake: \
read its notice, ${notices}, and add it" PARENT_SCOPE)
        return()
    endif()
    set(problem)
    check_licence(${package} "${notices}")
    if(problem)
        set(problem "${problem}" PARENT_SCOPE)
        return()
    endif()
    set(component ${package} PARENT_SCOPE)
    set(version ${version} PARENT_SCOPE)
    set(notices ${notices} PARENT_SCOPE)
endfunction()

# Sets OUT to ROWS, each a list of cells joined by "|", as a table whose columns line up.
function(table out)
    foreach(row ${ARGN})
        string(REPLACE "|" ";" cells "${row}")
        set(index 0)
        foreach(cell ${cells})
            string(LENGTH "${cell}" length)
            if(NOT width_${index} OR length GREATER width_${index})
                set(width_${index} ${length})
            endif()
            math(EXPR index "${index} + 1")
        endforeach()
    endforeach()
    set(text)
    foreach(row ${ARGN})
        string(REPLACE "|" ";" cells "${row}")
        set(line)
        set(index 0)
        foreach(cell ${cells})
            string(LENGTH "${cell}" length)
            math(EXPR pad "${width_${index}} - ${length} + 2")
            string(REPEAT " " ${pad} padding)
            string(APPEND line "${cell}${padding}")
            math(EXPR index "${index} + 1")
        endforeach()
        string(STRIP "${line}" line)
        string(APPEND text "  ${line}\n")
    endforeach()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(dayvane_notices top bundled)
    file(REMOVE_RECURSE "${top}/licenses")
    set(components)
    set(problems)
    set(named)
    foreach(entry ${bundled})
        string(REPLACE "|" ";" entry "${entry}")
        list(GET entry 0 file)
        list(GET entry 1 origin)
        list(APPEND named "${file}")
        set(problem)
        component_of("${origin}")
        if(problem)
            string(APPEND problems "\n  ${problem}")
            continue()
        endif()
        if(NOT component IN_LIST components)
            list(APPEND components ${component})
            set(version_${component} ${version})
            # A folder's files, or the one file.
            if(IS_DIRECTORY "${notices}")
                set(notices "${notices}/")
            endif()
            file(COPY "${notices}" DESTINATION "${top}/licenses/${component}")
        endif()
        set(component_of_${file} ${component})
    endforeach()

    if(problems)
        message(FATAL_ERROR "What the release bundles lacks its notices:${problems}")
    endif()

    # Every file of the release, the project's own under its name.
    file(GLOB_RECURSE shipped LIST_DIRECTORIES false RELATIVE "${top}" "${top}/*")
    list(FILTER shipped EXCLUDE REGEX "^licenses/")
    list(APPEND named ${shipped})
    list(REMOVE_DUPLICATES named)
    list(SORT named)
    set(rows "file|component")
    foreach(file ${named})
        if(NOT DEFINED component_of_${file})
            set(component_of_${file} DAYVANE)
        endif()
        list(APPEND rows "${file}|${component_of_${file}}")
    endforeach()
    table(files_table ${rows})
    list(SORT components)
    set(rows "component|version|supplier|licence (SPDX)"
             "DAYVANE|${DAYVANE_VERSION}|${DAYVANE_VENDOR}|MIT")
    foreach(component ${components})
        list(APPEND rows "${component}|${version_${component}}|Debian|${licence_${component}}")
    endforeach()
    table(components_table ${rows})
    configure_file("${notices_project}/packaging/licenses-README.txt.in"
                   "${top}/licenses/README.txt" @ONLY)
endfunction()
cmake_policy(POP)
