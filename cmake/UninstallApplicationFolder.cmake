# SPDX-License-Identifier: GPL-3.0-or-later
# Runs with `cmake -DKELMOR_APP_FOLDER=<folder> -P uninstall_application_folder.cmake`
# (`make uninstall APP=<folder>`): takes back what the install brought into
# the application folder and the desktop menu, as the folder's install
# record (InstallRecord.cmake) lists it, and nothing else.
#
# Removed: each file on the record (the programs, the bridge `dosbox` and
# its `kelmor-message`, TEST.FUJ, the icons, this folder's menu entries and their icons in the
# icon theme) while it is still what the install wrote, an icon only when no
# menu entry names it any more, and the folders the install created when
# they are empty (rmdir). Kept: a file the user changed since (said in one
# line each), the save folder SAVEGAME (empty or not), the kit's installed
# data, dosbox.conf, mapeditor.conf, THEST.FUJ, everything else the user put
# there, and the settings and drive map in the user's configuration folder.
# It ends by listing what stayed, each thing with its path (WhatStayed.cmake).
#
# A folder without a record (it never held the kit, or an earlier version of
# the kit installed it) keeps everything: one line says why and what to do;
# so does one whose record is no file the install writes (a FIFO, or larger
# than any install writes). Of the record's lines only those naming what an
# install writes count, and in the folder only where no link stands on
# the way (InstallRecord.cmake): nothing outside the folder, the menu and
# the icon theme is ever removed.

cmake_policy(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/MenuEntries.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/InstallRecord.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/WhatStayed.cmake")

set(app "${KELMOR_APP_FOLDER}")
if(NOT IS_ABSOLUTE "${app}" OR NOT IS_DIRECTORY "${app}")
  message(FATAL_ERROR "No application folder at '${app}'.")
endif()
string(REGEX REPLACE "(.)/+$" "\\1" app "${app}")
set(record "${app}/${KELMOR_RECORD_NAME}")
kelmor_record_read("${record}" old)
if(NOT old_refused STREQUAL "")
  message(NOTICE "Nothing removed: ${record} is not a record of a Kelmor kit install (${old_refused}).")
  return()
elseif(NOT old_exists)
  message(NOTICE "Nothing removed: ${app} holds no record of a Kelmor kit install (${KELMOR_RECORD_NAME}); "
                 "if an earlier version of the kit installed it, install again (make install APP=...), then uninstall.")
  return()
endif()

# A record that came with a copy of another folder: the menu entries it
# names are that folder's.
file(REAL_PATH "${app}" real_app)
if(NOT "${old_in}" STREQUAL "${real_app}" AND old_count GREATER 0)
  kelmor_record_forget_outside(old)
  message(NOTICE "Kept the menu entries: the kit was installed as ${old_in}, and they start that folder.")
endif()

# Files: the folder's first, then the menu entries, then the icons, so that
# an icon goes only when no entry names it.
kelmor_data_home(data_home)
set(kept "")  # the files kept as changed, one a line
foreach(pass folder entries icons)
  if(old_count EQUAL 0)
    break()
  endif()
  foreach(i RANGE 1 ${old_count})
    set(recorded "${old_path_${i}}")
    if(NOT old_kind_${i} STREQUAL "file")
      continue()
    endif()
    set(where folder)
    if(recorded MATCHES "^/.*\\.png$")
      set(where icons)
    elseif(recorded MATCHES "^/")
      set(where entries)
    endif()
    if(NOT where STREQUAL pass)
      continue()
    endif()
    kelmor_record_target("${app}" "${data_home}" "${recorded}" path)
    if(NOT path_why STREQUAL "")
      message(NOTICE "Kept: ${path}, ${path_why}.")
      continue()
    endif()
    kelmor_path_state("${path}" "${recorded}" "" old state)
    if(state STREQUAL "kit")
      if(where STREQUAL "icons")
        kelmor_icon_in_use("${path}" used)
        if(used)
          message(STATUS "Kept: ${path}, which a menu entry names")
          continue()
        endif()
      endif()
      file(REMOVE "${path}")
      message(STATUS "Removed: ${path}")
    elseif(state STREQUAL "changed")
      message(NOTICE "Kept: ${path}, changed since the install.")
      string(APPEND kept "${path}\n")
    elseif(NOT state STREQUAL "absent")
      message(NOTICE "Kept: ${path}, no longer the file the install wrote.")
      string(APPEND kept "${path}\n")
    endif()
  endforeach()
endforeach()

# The folders the install created, the deepest first, while empty; the
# save folder stays.
set(depth 0)
if(old_count GREATER 0)
  foreach(i RANGE 1 ${old_count})
    if(old_kind_${i} STREQUAL "folder")
      string(REGEX REPLACE "[^/]" "" slashes "${old_path_${i}}")
      string(LENGTH "${slashes}" length)
      if(length GREATER depth)
        set(depth ${length})
      endif()
    endif()
  endforeach()
  foreach(level RANGE ${depth} 0 -1)
    foreach(i RANGE ${old_count} 1 -1)
      set(folder "${old_path_${i}}")
      if(NOT old_kind_${i} STREQUAL "folder" OR folder STREQUAL KELMOR_SAVE_FOLDER)
        continue()
      endif()
      string(REGEX REPLACE "[^/]" "" slashes "${folder}")
      string(LENGTH "${slashes}" length)
      if(length EQUAL level)
        kelmor_record_target("${app}" "" "${folder}" path)
        if(path_why STREQUAL "")
          kelmor_remove_empty_folder("${path}" removed)
        endif()
      endif()
    endforeach()
  endforeach()
endif()

file(REMOVE "${record}")
kelmor_what_stayed("${app}" "${kept}")
