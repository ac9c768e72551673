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

# A value of type string: backslashes doubled.
function(kelmor_desktop_string text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

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

if(DEFINED ENV{XDG_DATA_HOME} AND IS_ABSOLUTE "$ENV{XDG_DATA_HOME}")
  set(data_home "$ENV{XDG_DATA_HOME}")
elseif(DEFINED ENV{HOME} AND IS_ABSOLUTE "$ENV{HOME}")
  set(data_home "$ENV{HOME}/.local/share")
else()
  message(WARNING "Neither XDG_DATA_HOME nor HOME is set: no menu entries written.")
  return()
endif()
set(menu "${data_home}/applications")
file(MAKE_DIRECTORY "${menu}")

foreach(program IN LISTS KELMOR_APP_PROGRAMS)
  kelmor_desktop_exec("${app}/${program}" exec)
  kelmor_desktop_string("${app}/${program}" try_exec)
  kelmor_desktop_string("${app}/icons/${program}.png" icon)
  kelmor_desktop_string("${app}" folder)
  set(entry "[Desktop Entry]
Type=Application
Version=1.0
Name=${KELMOR_APP_${program}_TITLE}
Comment=${KELMOR_APP_${program}_COMMENT}
Exec=${exec}
TryExec=${try_exec}
Path=${folder}
Icon=${icon}
Terminal=false
Categories=Game;
")
  kelmor_replace_content("${entry}" "${menu}/kelmor-${program}.desktop")
  message(STATUS "Menu entry: ${menu}/kelmor-${program}.desktop")
endforeach()
