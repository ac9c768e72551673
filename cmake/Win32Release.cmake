# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows release, `make windows-release`: in build/win32/release/,
#   KelmorKit-<version>-win32.zip  the application folder "Kelmor Kit", to
#                                  unpack and use as it is;
#   KelmorKit-<version>-setup.exe  the NSIS setup program that installs the
#                                  same folder for the current user, with
#                                  Start-menu shortcuts and an uninstaller.
# Both are made from one staged folder; the folders and TEST.FUJ are those of
# every application folder (ApplicationLayout.cmake).

include(${PROJECT_SOURCE_DIR}/cmake/ApplicationLayout.cmake)

find_program(KELMOR_ZIP zip)
find_program(KELMOR_MAKENSIS makensis)

set(KELMOR_RELEASE_NAME KelmorKit-${PROJECT_VERSION})
set(KELMOR_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(release_inputs ${CMAKE_BINARY_DIR}/release_inputs)
set(stage "${CMAKE_BINARY_DIR}/release_stage")
set(app_name "Kelmor Kit")
set(app_stage "${stage}/${app_name}")
set(nsi ${KELMOR_WIN32_TEMPLATES}/KelmorKit.nsi)
# An x86_64 build (tested where 32-bit programs cannot run) makes its own
# zip and a 64-bit setup program from the same script, named so that they
# are never taken for the release users download.
if(KELMOR_WIN32_ARCHITECTURE STREQUAL "amd64")
  set(zip ${KELMOR_RELEASE_DIR}/${KELMOR_RELEASE_NAME}-win64.zip)
  set(setup ${KELMOR_RELEASE_DIR}/${KELMOR_RELEASE_NAME}-win64-setup.exe)
  set(nsis_target "-XTarget amd64-unicode")
else()
  set(zip ${KELMOR_RELEASE_DIR}/${KELMOR_RELEASE_NAME}-win32.zip)
  set(setup ${KELMOR_RELEASE_DIR}/${KELMOR_RELEASE_NAME}-setup.exe)
  set(nsis_target "")
endif()
set(KELMOR_RELEASE_ZIP ${zip})
set(KELMOR_RELEASE_SETUP ${setup})

configure_file(${KELMOR_WIN32_TEMPLATES}/README.txt.in ${release_inputs}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
# Byte for byte (file(CONFIGURE) would turn CR LF into LF); rewritten only
# when it changed, so the release is not made again at every configure.
file(WRITE ${release_inputs}/marker.new "${KELMOR_MARKER_TEMPLATE_TEXT}")
file(COPY_FILE ${release_inputs}/marker.new ${release_inputs}/${KELMOR_MARKER_TEMPLATE_NAME}
     ONLY_IF_DIFFERENT)
# The license and the notices of others' work, as text files Windows reads
# (CR LF).
set(kelmor_license_files COPYING.txt THIRD-PARTY-NOTICES.txt)
foreach(source IN ITEMS COPYING THIRD-PARTY-NOTICES)
  set(name ${source}.txt)
  set(path ${PROJECT_SOURCE_DIR}/${source})
  if(NOT EXISTS ${path})
    set(path ${path}.txt)
  endif()
  file(READ ${path} text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${release_inputs}/${name}.new "${text}")
  file(COPY_FILE ${release_inputs}/${name}.new ${release_inputs}/${name} ONLY_IF_DIFFERENT)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/COPYING ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt)

# Each program and its name in the Start menu, the name README.txt and the
# Linux menu give it too (the programs' own titles, "Kelmor for Windows" and
# the like, stay in their windows and version information).
set(kelmor_release_shortcuts
    "KELMOR|Kelmor" "_KelmorPlix|Kelmor Plix" "_Mapper|Kelmor Plix Mapper"
    "_Configuration|Kelmor Plix Configuration")

# What the setup program installs and its uninstaller removes, as NSIS macros.
# KelmorForEachFile inserts the macro it is given once for each file; the
# shortcut macros take the Start-menu folder.
set(kit_files "")
set(create_shortcuts "")
set(remove_shortcuts "")
set(program_files "")
set(programs "")
# One shortcut: `name` in the Start-menu folder, starting `file` with `argument`.
macro(kelmor_release_shortcut name file argument)
  set(shortcut "\${FOLDER}\\${name}.lnk")
  string(APPEND create_shortcuts "  CreateShortcut \"${shortcut}\" \"$INSTDIR\\${file}\" \"${argument}\"\n")
  string(APPEND remove_shortcuts "  Delete \"${shortcut}\"\n")
endmacro()
foreach(entry IN LISTS kelmor_release_shortcuts)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 program)
  list(GET entry 1 menu_name)
  set(name $<TARGET_FILE_NAME:${program}>)
  list(APPEND programs ${program})
  list(APPEND program_files $<TARGET_FILE:${program}>)
  string(APPEND kit_files "  !insertmacro \${MACRO} \"${name}\"\n")
  kelmor_release_shortcut("${menu_name}" "${name}" "")
  if(program STREQUAL "_Configuration")
    kelmor_release_shortcut("${KELMOR_GAME_CONFIGURATION_TITLE}" "${name}" "${KELMOR_GAME_CONFIGURATION_ARGUMENT}")
  endif()
endforeach()
foreach(name ${KELMOR_MARKER_TEMPLATE_NAME} README.txt ${kelmor_license_files})
  string(APPEND kit_files "  !insertmacro \${MACRO} \"${name}\"\n")
endforeach()
set(kit_data "")
# The uninstaller names the kit's data files and the layout's top folders
# but SAVEGAME as the kit's data.
foreach(name IN LISTS KELMOR_KIT_DATA_FILES)
  string(APPEND kit_data "  !insertmacro \${MACRO} \"${name}\"\n")
endforeach()
set(create_folders "")
set(remove_folders "")
foreach(folder IN LISTS KELMOR_APP_FOLDERS)
  string(REPLACE "/" "\\" folder "${folder}")
  string(APPEND create_folders "  CreateDirectory \"$INSTDIR\\${folder}\"\n")
  if(NOT folder STREQUAL KELMOR_SAVE_FOLDER)
    # Folders before the folders that hold them.
    string(PREPEND remove_folders "  RMDir \"$INSTDIR\\${folder}\"\n")
    if(NOT folder MATCHES "\\\\")
      string(APPEND kit_data "  !insertmacro \${MACRO} \"${folder}\"\n")
    endif()
  endif()
endforeach()
file(GENERATE OUTPUT ${release_inputs}/layout.nsh CONTENT
"; Made by cmake/Win32Release.cmake from the application folder's layout.
!define KELMOR_ICON_PROGRAM \"$<TARGET_FILE_NAME:KELMOR>\"
!macro KelmorForEachFile MACRO
${kit_files}!macroend
!macro KelmorCreateFolders
${create_folders}!macroend
!macro KelmorRemoveEmptyFolders
${remove_folders}!macroend
!define KELMOR_SAVE_FOLDER \"${KELMOR_SAVE_FOLDER}\"
!macro KelmorForEachKitData MACRO
${kit_data}!macroend
!macro KelmorCreateShortcuts FOLDER
${create_shortcuts}!macroend
!macro KelmorRemoveShortcuts FOLDER
${remove_shortcuts}!macroend
")

if(NOT KELMOR_ZIP OR NOT KELMOR_MAKENSIS)
  add_custom_target(windows_release
    COMMAND ${CMAKE_COMMAND} -E echo "The Windows release needs zip and makensis (tools/install-deps.sh)."
    COMMAND ${CMAKE_COMMAND} -E false)
  return()
endif()

list(TRANSFORM kelmor_license_files PREPEND "${release_inputs}/" OUTPUT_VARIABLE release_license_files)
list(TRANSFORM KELMOR_APP_FOLDERS PREPEND "${app_stage}/" OUTPUT_VARIABLE stage_folders)
add_custom_command(
  OUTPUT ${zip} ${setup}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${zip} ${setup}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage_folders} ${KELMOR_RELEASE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${program_files} ${release_inputs}/README.txt
          ${release_inputs}/${KELMOR_MARKER_TEMPLATE_NAME} ${release_license_files} ${app_stage}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${KELMOR_ZIP} -q -r -X ${zip} ${app_name}
  COMMAND ${KELMOR_MAKENSIS} ${nsis_target} -V2 -DVERSION=${PROJECT_VERSION} -DLAYOUT=${release_inputs}/layout.nsh
          -DSTAGE=${app_stage} -DOUTFILE=${setup} ${nsi}
  DEPENDS ${programs} ${nsi} ${release_inputs}/layout.nsh
          ${release_inputs}/README.txt ${release_inputs}/${KELMOR_MARKER_TEMPLATE_NAME} ${release_license_files}
  COMMENT "Making the release's zip and setup program in ${KELMOR_RELEASE_DIR}"
  VERBATIM)
add_custom_target(windows_release DEPENDS ${zip} ${setup})
