# SPDX-License-Identifier: GPL-3.0-or-later
# The record of an application folder's install, which the install writes
# and the uninstall follows (InstallApplicationFolder.cmake,
# UninstallApplicationFolder.cmake): the file .kelmor-install in the folder,
# one line for each thing the install brought:
#
#   in <the folder's real path when it was installed>
#   folder <a folder the install created, relative to the folder>
#   file <size> <SHA-256> <a file it wrote: relative to the folder, or the
#        absolute path of a menu entry or an icon in the user's icon theme>
#
# The uninstall removes a file only while it is still what the install
# wrote (same size and SHA-256), and a folder only when it is empty and the
# install created it, with rmdir, which removes nothing else. Paths are never
# used as glob patterns, and never go through CMake lists (a path may hold
# "[", "]" or ";").

cmake_policy(VERSION 3.25)

set(KELMOR_RECORD_NAME ".kelmor-install")
set(KELMOR_RECORD_HEADER "# What `make install` brought into this folder and the desktop menu; `make uninstall` removes those files while they are unchanged. Keep this file.\n")

# Whether a path may stand on a record: below the folder (no "." or ".."
# part), or a menu entry or theme icon of the kit (kelmor-*) anywhere else.
function(kelmor_record_path_allowed kind path out)
  set(allowed FALSE)
  if(path MATCHES "(^|/)\\.\\.?(/|$)" OR path MATCHES "//" OR path STREQUAL "")
    set(allowed FALSE)
  elseif(kind STREQUAL "folder")
    if(NOT path MATCHES "^/")
      set(allowed TRUE)
    endif()
  elseif(path MATCHES "^/")
    if(path MATCHES "/applications/kelmor-[A-Za-z0-9_-]+\\.desktop$" OR
       path MATCHES "/icons/hicolor/[0-9]+x[0-9]+/apps/kelmor-[A-Za-z0-9_-]+\\.png$")
      set(allowed TRUE)
    endif()
  elseif(path MATCHES "^[^/]+(/[^/]+)?$")
    set(allowed TRUE)
  endif()
  set(${out} ${allowed} PARENT_SCOPE)
endfunction()

# Reads the record `file` into variables of the caller named <prefix>_...:
# _exists (TRUE or FALSE), _in (the folder it names), _text (its valid
# lines, each between line ends, to look a line up with string(FIND)),
# _count, and for each line 1.._count: _kind_<i> ("file" or "folder"),
# _fact_<i> ("<size> <sha256>" of a file) and _path_<i>. Lines that are not
# valid are left out.
function(kelmor_record_read file prefix)
  set(exists FALSE)
  set(in "")
  set(text "\n")
  set(count 0)
  if(EXISTS "${file}" AND NOT IS_DIRECTORY "${file}" AND NOT IS_SYMLINK "${file}")
    set(exists TRUE)
    file(READ "${file}" content)
    string(APPEND content "\n")
    while(NOT content STREQUAL "")
      string(FIND "${content}" "\n" end)
      string(SUBSTRING "${content}" 0 ${end} line)
      math(EXPR end "${end} + 1")
      string(SUBSTRING "${content}" ${end} -1 content)
      set(kind "")
      if(line MATCHES "^file ([0-9]+) ([0-9a-f]+) (.+)$")
        set(kind file)
        set(fact "${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")
        set(path "${CMAKE_MATCH_3}")
        string(LENGTH "${CMAKE_MATCH_2}" length)
        if(NOT length EQUAL 64)
          set(kind "")
        endif()
      elseif(line MATCHES "^folder (.+)$")
        set(kind folder)
        set(fact "")
        set(path "${CMAKE_MATCH_1}")
      elseif(line MATCHES "^in (/.*)$" AND in STREQUAL "")
        set(in "${CMAKE_MATCH_1}")
      endif()
      if(NOT kind STREQUAL "")
        kelmor_record_path_allowed(${kind} "${path}" allowed)
        string(FIND "${text}" "\n${line}\n" known)
        if(allowed AND known EQUAL -1)
          math(EXPR count "${count} + 1")
          set(${prefix}_kind_${count} ${kind} PARENT_SCOPE)
          set(${prefix}_fact_${count} "${fact}" PARENT_SCOPE)
          set(${prefix}_path_${count} "${path}" PARENT_SCOPE)
          string(APPEND text "${line}\n")
        endif()
      endif()
    endwhile()
  endif()
  set(${prefix}_exists ${exists} PARENT_SCOPE)
  set(${prefix}_in "${in}" PARENT_SCOPE)
  set(${prefix}_text "${text}" PARENT_SCOPE)
  set(${prefix}_count ${count} PARENT_SCOPE)
endfunction()

# "<size> <sha256>" of a file.
function(kelmor_file_fact path out)
  file(SIZE "${path}" size)
  file(SHA256 "${path}" sha)
  set(${out} "${size} ${sha}" PARENT_SCOPE)
endfunction()

# What stands at `path` (recorded as `recorded` on the record read as
# `prefix`), compared with the file `new` (or "" for none):
#   absent   nothing;
#   link     a symbolic link (the install never makes one);
#   folder   a folder, or anything else that is not a regular file;
#   kit      a file the record names with this very size and content;
#   same     a file with the content of `new`;
#   changed  a file the record names, with other content (the user's now);
#   foreign  any other file.
function(kelmor_path_state path recorded new prefix out)
  if(IS_SYMLINK "${path}")
    set(state link)
  elseif(NOT EXISTS "${path}")
    set(state absent)
  elseif(IS_DIRECTORY "${path}")
    set(state folder)
  else()
    kelmor_file_fact("${path}" fact)
    string(FIND "${${prefix}_text}" "\nfile ${fact} ${recorded}\n" at)
    set(new_fact "")
    if(NOT new STREQUAL "")
      kelmor_file_fact("${new}" new_fact)
    endif()
    if(at GREATER -1)
      set(state kit)
    elseif(fact STREQUAL new_fact)
      set(state same)
    else()
      set(state foreign)
      if(${prefix}_count GREATER 0)
        foreach(i RANGE 1 ${${prefix}_count})
          if(${prefix}_kind_${i} STREQUAL "file" AND "${${prefix}_path_${i}}" STREQUAL "${recorded}")
            set(state changed)
          endif()
        endforeach()
      endif()
    endif()
  endif()
  set(${out} ${state} PARENT_SCOPE)
endfunction()

# The real path of a file whose folder exists (a path named two ways is
# then one), else the path as it is.
function(kelmor_canonical_path path out)
  get_filename_component(parent "${path}" DIRECTORY)
  get_filename_component(name "${path}" NAME)
  if(IS_DIRECTORY "${parent}")
    file(REAL_PATH "${parent}" parent)
    set(path "${parent}/${name}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

# Whether a menu entry of the kit (kelmor-*.desktop) in the menu beside the
# theme icon `icon_file` still names that icon: then the icon stays.
function(kelmor_icon_in_use icon_file out)
  string(REGEX REPLACE "/icons/hicolor/[0-9]+x[0-9]+/apps/[^/]+$" "/applications" menu "${icon_file}")
  get_filename_component(icon "${icon_file}" NAME_WLE)
  set(used FALSE)
  if(IS_DIRECTORY "${menu}")
    execute_process(COMMAND grep -r -q -s -x -F --include=kelmor-*.desktop -e "Icon=${icon}" -- "${menu}"
                    RESULT_VARIABLE found OUTPUT_QUIET ERROR_QUIET)
    if(NOT found EQUAL 1)
      set(used TRUE)
    endif()
  endif()
  set(${out} ${used} PARENT_SCOPE)
endfunction()

# Removes the folder `path` when it is empty (rmdir); TRUE when it went.
function(kelmor_remove_empty_folder path out)
  set(removed FALSE)
  if(IS_DIRECTORY "${path}" AND NOT IS_SYMLINK "${path}")
    execute_process(COMMAND rmdir -- "${path}" RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
    if(failed EQUAL 0)
      set(removed TRUE)
    endif()
  endif()
  set(${out} ${removed} PARENT_SCOPE)
endfunction()

# Whether `text` is UTF-8, which a menu entry must be: its bytes, in hex,
# are a sequence of UTF-8's encodings (no overlong form, no surrogate).
function(kelmor_is_utf8 text out)
  string(HEX "${text}" hex)
  set(t "[89ab][0-9a-f]")
  set(char "[0-7][0-9a-f]|c[2-9a-f]${t}|d[0-9a-f]${t}|e0[ab][0-9a-f]${t}|e[1-9a-c]${t}${t}|ed[89][0-9a-f]${t}|e[ef]${t}${t}|f0[9ab][0-9a-f]${t}${t}|f[123]${t}${t}${t}|f48[0-9a-f]${t}${t}")
  if(hex MATCHES "^(${char})*$")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Leaves out of the record read as `prefix` its menu entries and icons: a
# record that came with a copy of another folder names that folder's.
function(kelmor_record_forget_outside prefix)
  set(text "\n")
  set(count 0)
  if(${prefix}_count EQUAL 0)
    return()
  endif()
  foreach(i RANGE 1 ${${prefix}_count})
    if(${prefix}_kind_${i} STREQUAL "file" AND "${${prefix}_path_${i}}" MATCHES "^/")
      continue()
    endif()
    math(EXPR count "${count} + 1")
    foreach(field kind fact path)
      set(${prefix}_${field}_${count} "${${prefix}_${field}_${i}}" PARENT_SCOPE)
    endforeach()
    if(${prefix}_kind_${i} STREQUAL "file")
      string(APPEND text "file ${${prefix}_fact_${i}} ${${prefix}_path_${i}}\n")
    else()
      string(APPEND text "folder ${${prefix}_path_${i}}\n")
    endif()
  endforeach()
  set(${prefix}_text "${text}" PARENT_SCOPE)
  set(${prefix}_count ${count} PARENT_SCOPE)
endfunction()
