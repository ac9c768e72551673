# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop menu entries of an application folder, from the build's facts
# (application_folder_facts.cmake): one per program, under its menu name
# ("Kelmor Plix"), and "Kelmor Configuration", the configuration tool on the
# game's settings.
# Included by the install and the uninstall, which so agree on what there is.
#
# For each id in KELMOR_MENU_ENTRIES (also the entry's file name, <id>.desktop):
# <id>_PROGRAM, <id>_ARGUMENT (or empty), <id>_NAME, <id>_CLASS (its window's
# class, StartupWMClass), <id>_COMMENT and <id>_ICON (the icon's name in the
# icon theme, drawn as art/icons/<n>x<n>/<id>_ART.png).
#
# One folder's entries carry these ids. Each other installed folder gets a
# set of its own, told apart in the menu (kelmor_menu_id, kelmor_menu_name).

include("${CMAKE_CURRENT_LIST_DIR}/ApplicationLayout.cmake")

# The sizes desktops ask for, in the theme's layout <n>x<n>/apps.
set(KELMOR_ICON_SIZES 48 64 128 256)

# Adds one entry to KELMOR_MENU_ENTRIES with its facts.
macro(kelmor_menu_entry id program argument name class comment icon art)
  list(APPEND KELMOR_MENU_ENTRIES ${id})
  set(${id}_PROGRAM "${program}")
  set(${id}_ARGUMENT "${argument}")
  set(${id}_NAME "${name}")
  set(${id}_CLASS "${class}")
  set(${id}_COMMENT "${comment}")
  set(${id}_ICON "${icon}")
  set(${id}_ART "${art}")
endmacro()

set(KELMOR_MENU_ENTRIES "")
foreach(program IN LISTS KELMOR_APP_PROGRAMS)
  kelmor_menu_entry(kelmor-${program} ${program} ""
    "${KELMOR_APP_${program}_MENU_NAME}" "${KELMOR_APP_${program}_CLASS}"
    "${KELMOR_APP_${program}_COMMENT}" kelmor-${program} "${KELMOR_APP_${program}_ICON_NAME}")
endforeach()
list(FIND KELMOR_APP_PROGRAMS _Configuration configuration_tool)
if(configuration_tool GREATER -1)
  kelmor_menu_entry(kelmor-game-configuration _Configuration
    "${KELMOR_GAME_CONFIGURATION_ARGUMENT}" "${KELMOR_GAME_CONFIGURATION_TITLE}"
    "${KELMOR_GAME_CONFIGURATION_TITLE}"
    "Choose how DOSBox shows the game Kelmor and how fast its CPU runs"
    kelmor-_Configuration "${KELMOR_APP__Configuration_ICON_NAME}")
endif()

# The user's data folder (menu entries, icons), as its real path (the
# install records its files so, and the uninstall removes only files
# there), or nothing with a warning.
function(kelmor_data_home out)
  if(DEFINED ENV{XDG_DATA_HOME} AND IS_ABSOLUTE "$ENV{XDG_DATA_HOME}")
    set(data_home "$ENV{XDG_DATA_HOME}")
  elseif(DEFINED ENV{HOME} AND IS_ABSOLUTE "$ENV{HOME}")
    set(data_home "$ENV{HOME}/.local/share")
  else()
    message(WARNING "Neither XDG_DATA_HOME nor HOME is set: no menu entries.")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  if(IS_DIRECTORY "${data_home}")
    file(REAL_PATH "${data_home}" data_home)
  else()
    kelmor_canonical_path("${data_home}" data_home)
  endif()
  set(${out} "${data_home}" PARENT_SCOPE)
endfunction()

# The file id of entry (or icon) `id` in a folder's set: `id` itself in the
# set without a tag, kelmor-<tag>-... in the set of another folder, whose
# tag is the first 8 hex digits of the SHA-256 of its path.
function(kelmor_menu_id id tag out)
  if(NOT tag STREQUAL "")
    string(SUBSTRING "${id}" 7 -1 rest)
    set(id "kelmor-${tag}-${rest}")
  endif()
  set(${out} "${id}" PARENT_SCOPE)
endfunction()

# The name that tells a folder's set of entries apart in the menu: the
# folder's name, or the name of the folder that holds it where its own is
# the kit's (any case of "kelmor", or an entry's name), as the Windows
# setup names its Start-menu folder: ~/Games/Kelmor gives "Games". A folder
# at the root keeps its own name.
function(kelmor_menu_set_name folder out)
  get_filename_component(name "${folder}" NAME)
  set(kits kelmor)
  foreach(id IN LISTS KELMOR_MENU_ENTRIES)
    list(APPEND kits "${${id}_NAME}")
  endforeach()
  string(TOLOWER "${kits}" kits)
  string(TOLOWER "${name}" lower)
  list(FIND kits "${lower}" kit)
  if(kit GREATER -1)
    get_filename_component(holder "${folder}" DIRECTORY)
    get_filename_component(holder "${holder}" NAME)
    if(NOT holder STREQUAL "")
      set(name "${holder}")
    endif()
  endif()
  set(${out} "${name}" PARENT_SCOPE)
endfunction()

# The menu name of entry `id` in a folder's set: its name, and in the set of
# another folder the set's name after it, "Kelmor (kelmor2)".
function(kelmor_menu_name id tag folder out)
  set(name "${${id}_NAME}")
  if(NOT tag STREQUAL "")
    kelmor_menu_set_name("${folder}" set_name)
    string(APPEND name " (${set_name})")
  endif()
  set(${out} "${name}" PARENT_SCOPE)
endfunction()

# A value of type string: backslashes doubled.
function(kelmor_desktop_string text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Writes the menu entry `id` as the file `file`: named `name`, started by
# the Exec value `exec` (the program `try_exec` must be there), in the
# folder `path` (no Path= key when it is empty), with the icon `icon`.
function(kelmor_write_desktop_entry file id name exec try_exec path icon)
  set(path_line "")
  if(NOT path STREQUAL "")
    set(path_line "Path=${path}\n")
  endif()
  file(WRITE "${file}" "[Desktop Entry]
Type=Application
Version=1.0
Name=${name}
Comment=${${id}_COMMENT}
Exec=${exec}
TryExec=${try_exec}
${path_line}Icon=${icon}
StartupWMClass=${${id}_CLASS}
Terminal=false
Categories=Game;
")
endfunction()
