# SPDX-License-Identifier: GPL-3.0-or-later
# The list that ends the uninstall (UninstallApplicationFolder.cmake): what
# stays of the kit, each thing as a path, kind by kind under a heading of
# its own, in the words of the Windows uninstaller's last page
# (cmake/win32/KelmorKit.nsi): the entries of the application folder, a
# folder with the number of files it holds; then the user's settings,
# DOSBox's logs and the emulators' cache outside it; last, how to remove
# them too. Only the kinds present are named.
#
# Paths are carried one a line, never as CMake lists: a folder's path may
# hold ";" or "[".

cmake_policy(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ApplicationLayout.cmake")

# The kinds of the folder's entries, in the order of the list, and their
# headings.
set(KELMOR_STAYED_KINDS saves data image written changed other)
set(KELMOR_STAYED_saves "Your saved games:")
set(KELMOR_STAYED_data "The kit's files, which the kit launcher copied from its CD:")
set(KELMOR_STAYED_image "CD images:")
set(KELMOR_STAYED_written "Written by the launchers and DOSBox:")
set(KELMOR_STAYED_changed "Changed since the install brought them:")
set(KELMOR_STAYED_other "Other files and folders:")

# Names of each kind, as regular expressions on the name in small letters
# (the launchers take names in any case). The kit's data: its files and the
# layout's top folders but the save folder. Written: dosbox.conf and
# mapeditor.conf with their copies in other emulators' dialects
# (dosbox.staging.conf), the cue sheets handed to DOSBox beside an image's
# own (<name>.dosbox.cue), what DOSBox for Windows prints, and a temporary
# file that a program ended before it could rename into place.
set(kelmor_kit_names ${KELMOR_KIT_DATA_FILES})
foreach(folder IN LISTS KELMOR_APP_FOLDERS)
  if(NOT folder MATCHES "/" AND NOT folder STREQUAL KELMOR_SAVE_FOLDER)
    list(APPEND kelmor_kit_names ${folder})
  endif()
endforeach()
list(JOIN kelmor_kit_names "|" kelmor_kit_names)
string(REPLACE "." "\\." kelmor_kit_names "${kelmor_kit_names}")
string(TOLOWER "^(${kelmor_kit_names})$" KELMOR_STAYED_data_NAMES)
string(TOLOWER "^${KELMOR_SAVE_FOLDER}$" KELMOR_STAYED_saves_NAMES)
set(KELMOR_STAYED_written_NAMES
    "^((dosbox|mapeditor).*\\.conf|.+\\.dosbox\\.cue|std(out|err)\\.txt|\\.kelmor-.+\\.tmp)$")
set(KELMOR_STAYED_image_NAMES "\\.(iso|cue|bin)$")

# Takes the first line off the text in the variable `text` into `line`.
function(kelmor_stayed_pop text line)
  string(FIND "${${text}}" "\n" at)
  if(at EQUAL -1)
    set(${line} "${${text}}" PARENT_SCOPE)
    set(${text} "" PARENT_SCOPE)
    return()
  endif()
  string(SUBSTRING "${${text}}" 0 ${at} first)
  math(EXPR at "${at} + 1")
  string(SUBSTRING "${${text}}" ${at} -1 rest)
  set(${line} "${first}" PARENT_SCOPE)
  set(${text} "${rest}" PARENT_SCOPE)
endfunction()

# The names of the entries of `folder`, one a line, in byte order.
function(kelmor_stayed_names folder out)
  execute_process(COMMAND find "${folder}/" -mindepth 1 -maxdepth 1 -printf "%f\n"
                  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C sort
                  OUTPUT_VARIABLE names ERROR_QUIET)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

# The number of files below the folder `path`, links not followed.
function(kelmor_stayed_file_count path out)
  execute_process(COMMAND find "${path}" -type f -printf "."
                  OUTPUT_VARIABLE dots ERROR_QUIET)
  string(LENGTH "${dots}" count)
  set(${out} ${count} PARENT_SCOPE)
endfunction()

# `path` as the list shows it: a folder (not a link) with its number of
# files, "(3 files)", "(1 file)", "(no files)"; in `out`_count that number.
function(kelmor_stayed_entry path out)
  set(count 0)
  set(shown "${path}")
  if(IS_DIRECTORY "${path}" AND NOT IS_SYMLINK "${path}")
    kelmor_stayed_file_count("${path}" count)
    if(count EQUAL 0)
      string(APPEND shown " (no files)")
    elseif(count EQUAL 1)
      string(APPEND shown " (1 file)")
    else()
      string(APPEND shown " (${count} files)")
    endif()
  endif()
  set(${out} "${shown}" PARENT_SCOPE)
  set(${out}_count ${count} PARENT_SCOPE)
endfunction()

# The kind of the entry `name` of the folder, by its name.
function(kelmor_stayed_kind name out)
  string(TOLOWER "${name}" lower)
  foreach(kind IN ITEMS saves data written image)
    if(lower MATCHES "${KELMOR_STAYED_${kind}_NAMES}")
      set(${out} ${kind} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} other PARENT_SCOPE)
endfunction()

# How many of the paths in `paths` (one a line) lie below the folder `folder`.
function(kelmor_stayed_count_below paths folder out)
  set(count 0)
  while(NOT paths STREQUAL "")
    kelmor_stayed_pop(paths path)
    string(FIND "${path}" "${folder}/" at)
    if(at EQUAL 0)
      math(EXPR count "${count} + 1")
    endif()
  endwhile()
  set(${out} ${count} PARENT_SCOPE)
endfunction()

# The kit's folders outside the application folder, where they are:
# the XDG variable | its folder below the home folder when unset | what the
# list shows, each file or the folder | its heading | its name in the advice
# on removing them.
set(KELMOR_STAYED_OUTSIDE
    "XDG_CONFIG_HOME|.config|files|Your settings (every folder of the kit uses them):|your settings"
    "XDG_STATE_HOME|.local/state|folder|What DOSBox printed at the last starts:|DOSBox's logs"
    "XDG_CACHE_HOME|.cache|folder|Which DOSBox each emulator is, as the kit found out:|the emulators' cache")

# The user's folder of the XDG variable `variable` when that holds an
# absolute path, else `fallback` below the home folder, with "/kelmor"
# after it; "" when neither is known or no such folder is there.
function(kelmor_stayed_user_folder variable fallback out)
  set(folder "")
  if(DEFINED ENV{${variable}} AND IS_ABSOLUTE "$ENV{${variable}}")
    set(folder "$ENV{${variable}}/kelmor")
  elseif(DEFINED ENV{HOME} AND IS_ABSOLUTE "$ENV{HOME}")
    set(folder "$ENV{HOME}/${fallback}/kelmor")
  endif()
  if(NOT folder STREQUAL "" AND NOT IS_DIRECTORY "${folder}")
    set(folder "")
  endif()
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()

# `path` quoted for the shell.
function(kelmor_stayed_quote path out)
  string(REPLACE "'" "'\\''" path "${path}")
  set(${out} "'${path}'" PARENT_SCOPE)
endfunction()

# The lines of the entries of the application folder `app`, kind by kind in
# <out>_<kind>, when the uninstall kept the files `changed` (one path a
# line): a changed file is listed as such, and so stands for a folder of the
# folder's that holds nothing else.
function(kelmor_stayed_in_folder app changed out)
  foreach(kind IN LISTS KELMOR_STAYED_KINDS)
    set(lines_${kind} "")
  endforeach()
  set(rest "${changed}")
  while(NOT rest STREQUAL "")
    kelmor_stayed_pop(rest path)
    if(NOT path STREQUAL "")
      kelmor_stayed_entry("${path}" shown)
      string(APPEND lines_changed "  ${shown}\n")
    endif()
  endwhile()
  kelmor_stayed_names("${app}" names)
  while(NOT names STREQUAL "")
    kelmor_stayed_pop(names name)
    set(path "${app}/${name}")
    if(name STREQUAL "" OR (NOT EXISTS "${path}" AND NOT IS_SYMLINK "${path}"))
      continue()  # a name with a line end in it, taken apart
    endif()
    string(FIND "\n${changed}\n" "\n${path}\n" listed)
    if(listed GREATER -1)
      continue()
    endif()
    kelmor_stayed_entry("${path}" shown)
    kelmor_stayed_count_below("${changed}" "${path}" below)
    if(below GREATER 0 AND below EQUAL shown_count)
      continue()
    endif()
    kelmor_stayed_kind("${name}" kind)
    string(APPEND lines_${kind} "  ${shown}\n")
  endwhile()
  foreach(kind IN LISTS KELMOR_STAYED_KINDS)
    set(${out}_${kind} "${lines_${kind}}" PARENT_SCOPE)
  endforeach()
endfunction()

# The lines of the folder `folder`'s files, each as a path (but the lock
# that the programs take on the settings), or of the folder itself with
# "(no files)" where it holds none.
function(kelmor_stayed_files_of folder out)
  set(lines "")
  kelmor_stayed_names("${folder}" names)
  while(NOT names STREQUAL "")
    kelmor_stayed_pop(names name)
    if(NOT name MATCHES "^(|\\.settings\\.lock)$" AND EXISTS "${folder}/${name}")
      kelmor_stayed_entry("${folder}/${name}" shown)
      string(APPEND lines "  ${shown}\n")
    endif()
  endwhile()
  if(lines STREQUAL "")
    set(lines "  ${folder} (no files)\n")
  endif()
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# What stays of the kit outside the application folder: its list in `out`,
# in <out>_folders the folders quoted for the shell, in <out>_names what
# they hold ("your settings and DOSBox's logs").
function(kelmor_stayed_outside out)
  set(text "")
  set(folders "")
  set(names "")
  foreach(row IN LISTS KELMOR_STAYED_OUTSIDE)
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 variable)
    list(GET row 1 fallback)
    kelmor_stayed_user_folder(${variable} ${fallback} folder)
    if(folder STREQUAL "")
      continue()
    endif()
    list(GET row 2 shows)
    list(GET row 3 heading)
    list(GET row 4 name)
    if(shows STREQUAL "files")
      kelmor_stayed_files_of("${folder}" lines)
    else()
      kelmor_stayed_entry("${folder}" lines)
      set(lines "  ${lines}\n")
    endif()
    string(APPEND text "\n${heading}\n${lines}")
    kelmor_stayed_quote("${folder}" quoted)
    string(APPEND folders " ${quoted}")
    list(APPEND names "${name}")
  endforeach()
  list(POP_BACK names last)
  list(JOIN names ", " names)
  if(NOT names STREQUAL "")
    string(APPEND names " and ")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
  set(${out}_folders "${folders}" PARENT_SCOPE)
  set(${out}_names "${names}${last}" PARENT_SCOPE)
endfunction()

# Says what stays of the kit after the uninstall from the folder `app`,
# which kept the files `changed` (one path a line; some may lie outside it,
# such as a menu entry the user edited).
function(kelmor_what_stayed app changed)
  kelmor_stayed_in_folder("${app}" "${changed}" in)
  set(text "")
  set(in_folder FALSE)
  foreach(kind IN LISTS KELMOR_STAYED_KINDS)
    if(NOT "${in_${kind}}" STREQUAL "")
      string(APPEND text "\n${KELMOR_STAYED_${kind}}\n${in_${kind}}")
      set(in_folder TRUE)
    endif()
  endforeach()
  kelmor_stayed_outside(outside)
  if(NOT in_folder AND outside STREQUAL "")
    message(NOTICE "Uninstalled from ${app}, and nothing of the kit stays.")
    return()
  endif()
  string(APPEND text "${outside}")
  if(in_folder)
    set(saves "")
    if(NOT "${in_saves}" STREQUAL "")
      set(saves "copy ${KELMOR_SAVE_FOLDER} elsewhere if you want to keep your saved games, then ")
    endif()
    string(APPEND text "\nTo remove these too: ${saves}delete the folder ${app}.\n")
  endif()
  if(NOT outside STREQUAL "")
    string(APPEND text "\nTo remove ${outside_names} too (every folder of the kit loses them):\n"
                       "  rm -r${outside_folders}\n")
  endif()
  string(REGEX REPLACE "\n$" "" text "${text}")
  message(NOTICE "Uninstalled from ${app}. These stay:\n${text}")
endfunction()
