# The Windows setup's part of CPack's run, read twice for the NSIS64 package: as CPack's
# project config file, before the files are staged, it names the setup; as a pre-build
# script, once they are, it writes setup-files.nsh for the setup's template
# (packaging/windows/NSIS.template.in): each staged file to install, to remove and to look
# for before installing into a folder that is not DAYVANE's, sorted by
# name so that the setup does not depend on the order a file system lists them in, and
# their size.
if(NOT CPACK_GENERATOR STREQUAL "NSIS64")
    return()
endif()
if(NOT EXISTS "${CPACK_TEMPORARY_DIRECTORY}")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
    return()
endif()

set(staged "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${staged}" "${staged}/*")
list(SORT files)
set(install "!macro DAYVANE_INSTALL_FILES\n")
set(remove "!macro DAYVANE_REMOVE_FILES\n")
# Which of them the folder holds already, the last found into $R0.
set(existing "!macro DAYVANE_EXISTING_FILE\n  StrCpy $R0 \"\"\n")
set(folders)
set(bytes 0)
set(folder_now "-")
foreach(file ${files})
    get_filename_component(folder "${file}" DIRECTORY)
    string(REPLACE "/" "\\" windows_file "\\${file}")
    set(windows_folder)
    if(folder)
        string(REPLACE "/" "\\" windows_folder "\\${folder}")
        list(APPEND folders "${windows_folder}")
    endif()
    if(NOT folder STREQUAL folder_now)
        string(APPEND install "  SetOutPath \"$INSTDIR${windows_folder}\"\n")
        set(folder_now "${folder}")
    endif()
    string(APPEND install "  File \"${staged}/${file}\"\n")
    string(APPEND remove "  Delete \"$INSTDIR${windows_file}\"\n")
    string(APPEND existing "  \${If} \${FileExists} \"$INSTDIR${windows_file}\"\n"
           "    StrCpy $R0 \"$INSTDIR${windows_file}\"\n  \${EndIf}\n")
    file(SIZE "${staged}/${file}" size)
    math(EXPR bytes "${bytes} + ${size}")
endforeach()
# Folders after their files, the deepest first; a folder still holding more stays.
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder ${folders})
    string(APPEND remove "  RMDir \"$INSTDIR${folder}\"\n")
endforeach()
math(EXPR kilobytes "(${bytes} + 1023) / 1024")
file(WRITE "${CPACK_TOPLEVEL_DIRECTORY}/setup-files.nsh"
     "${install}!macroend\n${remove}!macroend\n${existing}!macroend\n"
     "!define DAYVANE_SIZE_KB ${kilobytes}\n")
