# Runs at install time (see ApplicationFolder.cmake): lays out the
# application folder CMAKE_INSTALL_PREFIX.
#
# Installing again over an existing folder replaces only what the install
# brings (the programs, the bridge, TEST.FUJ, the icons, the menu entries);
# the user's files stay: the save folder's contents, the kit's installed data,
# dosbox.conf, THEST.FUJ. Each file is written under a temporary name and
# renamed into place, so a link standing at its name (say `dosbox` linked to
# the system's emulator) is replaced, never written through.

set(app "${CMAKE_INSTALL_PREFIX}")
if(DEFINED ENV{DESTDIR} AND NOT "$ENV{DESTDIR}" STREQUAL "")
  message(FATAL_ERROR "An application folder is installed in place; DESTDIR is not supported.")
endif()
if(NOT IS_ABSOLUTE "${app}")
  message(FATAL_ERROR "The application folder must be an absolute path, not '${app}'.")
endif()
# The launchers name their files as Windows paths, C: and the folder's path
# with "\" for "/": a backslash there separates folders (the files would go
# to another folder), a line end or a double quote breaks the lines of
# dosbox.conf that name the folder. Refused before anything is written.
if(app MATCHES "[\\\\\"\r\n]")
  message(FATAL_ERROR "The application folder '${app}' holds a backslash, a double quote or a "
                      "line end in its name, and the kit's programs cannot run there. Choose "
                      "another folder, or rename this one.")
endif()
string(REGEX REPLACE "(.)/+$" "\\1" app "${app}")

function(kelmor_replace_file source destination)
  file(COPY_FILE "${source}" "${destination}.installing")
  file(RENAME "${destination}.installing" "${destination}")
endfunction()

# A program without its symbols, which only a debugger wants.
function(kelmor_replace_program source destination)
  file(COPY_FILE "${source}" "${destination}.installing")
  if(KELMOR_STRIP)
    execute_process(COMMAND "${KELMOR_STRIP}" "${destination}.installing" RESULT_VARIABLE stripped)
    if(NOT stripped EQUAL 0)
      file(REMOVE "${destination}.installing")
      message(FATAL_ERROR "Cannot strip ${destination}.installing: ${stripped}")
    endif()
  endif()
  file(RENAME "${destination}.installing" "${destination}")
endfunction()

function(kelmor_replace_content content destination)
  file(WRITE "${destination}.installing" "${content}")
  file(RENAME "${destination}.installing" "${destination}")
endfunction()

include("${CMAKE_CURRENT_LIST_DIR}/ApplicationLayout.cmake")
foreach(folder IN LISTS KELMOR_APP_FOLDERS ITEMS icons)
  file(MAKE_DIRECTORY "${app}/${folder}")
endforeach()

foreach(program IN LISTS KELMOR_APP_PROGRAMS)
  kelmor_replace_program("${KELMOR_APP_${program}_FILE}" "${app}/${program}")
  kelmor_replace_file("${KELMOR_APP_${program}_ICON}" "${app}/icons/${program}.png")
  message(STATUS "Installed: ${app}/${program}")
endforeach()
if(DEFINED KELMOR_APP_BRIDGE)
  kelmor_replace_program("${KELMOR_APP_BRIDGE}" "${app}/dosbox")
  message(STATUS "Installed: ${app}/dosbox (the DOSBox bridge)")
endif()
kelmor_replace_content("${KELMOR_MARKER_TEMPLATE_TEXT}" "${app}/${KELMOR_MARKER_TEMPLATE_NAME}")

# The launchers start dosbox.exe when there is one, whatever its case.
file(GLOB app_entries RELATIVE "${app}" "${app}/*")
foreach(entry IN LISTS app_entries)
  string(TOLOWER "${entry}" lower)
  if(lower STREQUAL "dosbox.exe")
    message(WARNING "${app}/${entry} is started in place of the bridge `dosbox`; "
                    "remove it unless it is meant to be the emulator.")
  endif()
endforeach()

# --- menu entries -----------------------------------------------------------

include("${CMAKE_CURRENT_LIST_DIR}/MenuEntries.cmake")

# A program path as the Exec key wants it: quoted unless it holds only safe
# characters; inside the quotes ", `, $ and \ carry a backslash; % doubled;
# then the string escaping of every value.
function(kelmor_desktop_exec path out)
  if(NOT path MATCHES "^[A-Za-z0-9_./+,:@=-]+$")
    foreach(special "\\" "\"" "`" "$")
      string(REPLACE "${special}" "\\${special}" path "${path}")
    endforeach()
    set(path "\"${path}\"")
  endif()
  string(REPLACE "%" "%%" path "${path}")
  kelmor_desktop_string("${path}" path)
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

# The next step, in two lines, at the end of the install.
set(drive_map "$ENV{XDG_CONFIG_HOME}")
if(NOT IS_ABSOLUTE "${drive_map}")
  set(drive_map "$ENV{HOME}/.config")
endif()
set(drive_map "${drive_map}/kelmor/drives.ini")
set(cd_line "Give the kit its CD: copy the CD image (.iso or .cue) into ${app}, or name the CD's folder or image in ${drive_map} (E=/media/cdrom), or use Kelmor Drives.")

kelmor_data_home(data_home)
if(data_home STREQUAL "")
  message(NOTICE "No menu entries: start the programs in ${app}.\n${cd_line}")
  return()
endif()
set(menu "${data_home}/applications")
file(MAKE_DIRECTORY "${menu}")

foreach(size IN LISTS KELMOR_ICON_SIZES)
  file(MAKE_DIRECTORY "${data_home}/icons/hicolor/${size}x${size}/apps")
endforeach()

foreach(id IN LISTS KELMOR_MENU_ENTRIES)
  set(program "${${id}_PROGRAM}")
  kelmor_desktop_exec("${app}/${program}" exec)
  if(NOT "${${id}_ARGUMENT}" STREQUAL "")
    string(APPEND exec " ${${id}_ARGUMENT}")
  endif()
  kelmor_desktop_string("${app}/${program}" try_exec)
  kelmor_desktop_string("${app}" folder)
  foreach(size IN LISTS KELMOR_ICON_SIZES)
    kelmor_replace_file("${KELMOR_ART}/icons/${size}x${size}/${${id}_ART}.png"
                        "${data_home}/icons/hicolor/${size}x${size}/apps/${${id}_ICON}.png")
  endforeach()
  set(entry "[Desktop Entry]
Type=Application
Version=1.0
Name=${${id}_NAME}
Comment=${${id}_COMMENT}
Exec=${exec}
TryExec=${try_exec}
Path=${folder}
Icon=${${id}_ICON}
StartupWMClass=${${id}_CLASS}
Terminal=false
Categories=Game;
")
  kelmor_replace_content("${entry}" "${menu}/${id}.desktop")
  message(STATUS "Menu entry: ${menu}/${id}.desktop")
endforeach()
message(NOTICE "The menu entries are in ${menu} (kelmor-*.desktop): look for Kelmor in your desktop's menu.\n${cd_line}")
