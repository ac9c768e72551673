# Runs with `cmake -DKELMOR_APP_FOLDER=<folder> -P uninstall_application_folder.cmake`
# (`make uninstall APP=<folder>`): removes what the install brought into the
# application folder and the desktop, by the same facts the install used.
#
# Removed: the programs, the bridge `dosbox`, TEST.FUJ, the icons, the menu
# entries that lead into this folder and their icons in the icon theme, and
# the folders of the layout that are then empty. Kept: the save folder
# SAVEGAME (empty or not), the kit's installed data, dosbox.conf,
# mapeditor.conf, THEST.FUJ, everything else the user put there, and the
# settings and drive map in the user's configuration folder.

include("${CMAKE_CURRENT_LIST_DIR}/MenuEntries.cmake")

set(app "${KELMOR_APP_FOLDER}")
if(NOT IS_ABSOLUTE "${app}" OR NOT IS_DIRECTORY "${app}")
  message(FATAL_ERROR "No application folder at '${app}'.")
endif()
string(REGEX REPLACE "(.)/+$" "\\1" app "${app}")
if(NOT EXISTS "${app}/${KELMOR_MARKER_TEMPLATE_NAME}" AND NOT EXISTS "${app}/dosbox")
  message(NOTICE "${app} holds no installed Kelmor kit (no ${KELMOR_MARKER_TEMPLATE_NAME}, "
                 "no dosbox): nothing removed.")
  return()
endif()

function(kelmor_remove path)
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    file(REMOVE "${path}")
    message(STATUS "Removed: ${path}")
  endif()
endfunction()

foreach(program IN LISTS KELMOR_APP_PROGRAMS)
  kelmor_remove("${app}/${program}")
  kelmor_remove("${app}/icons/${program}.png")
endforeach()
kelmor_remove("${app}/dosbox")
kelmor_remove("${app}/${KELMOR_MARKER_TEMPLATE_NAME}")

# The deepest folders first; a folder that holds anything stays.
list(REVERSE KELMOR_APP_FOLDERS)
foreach(folder IN LISTS KELMOR_APP_FOLDERS ITEMS icons)
  if(folder STREQUAL KELMOR_SAVE_FOLDER OR NOT IS_DIRECTORY "${app}/${folder}")
    continue()
  endif()
  file(GLOB left "${app}/${folder}/*" "${app}/${folder}/.*")
  if(left STREQUAL "")
    file(REMOVE_RECURSE "${app}/${folder}")
  endif()
endforeach()

# A menu entry is this folder's when its Path= names it: another
# installation's entries stay, and so do their icons.
kelmor_data_home(data_home)
if(data_home STREQUAL "")
  return()
endif()
kelmor_desktop_string("${app}" folder)
set(removed_icons "")
foreach(id IN LISTS KELMOR_MENU_ENTRIES)
  set(entry "${data_home}/applications/${id}.desktop")
  if(NOT EXISTS "${entry}")
    continue()
  endif()
  file(STRINGS "${entry}" path_line REGEX "^Path=")
  if(NOT path_line STREQUAL "Path=${folder}")
    message(STATUS "Kept: ${entry}, which leads to another folder")
    continue()
  endif()
  kelmor_remove("${entry}")
  list(APPEND removed_icons "${${id}_ICON}")
endforeach()
list(REMOVE_DUPLICATES removed_icons)
foreach(icon IN LISTS removed_icons)
  foreach(size IN LISTS KELMOR_ICON_SIZES)
    kelmor_remove("${data_home}/icons/hicolor/${size}x${size}/apps/${icon}.png")
  endforeach()
endforeach()
message(NOTICE "Uninstalled from ${app}; kept the saved games, the kit's data, dosbox.conf, THEST.FUJ and your settings.")
