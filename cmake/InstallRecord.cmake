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
# Only lines naming what an install writes count (KELMOR_RECORD_NAMES):
# the kit's programs, the bridge, kelmor-message, TEST.FUJ and the icons in
# the folder, the layout's folders, and the kit's menu entries and theme
# icons in the user's data folder. A record's file or folder is removed
# only there, and in the folder only where no link stands on its way
# (kelmor_record_target); a file only while it is still what the install
# wrote (same size and SHA-256), a folder only when it is empty and the
# install created it, with rmdir, which removes nothing else. Only regular
# files are read or hashed: a FIFO would keep the reader waiting. Paths are
# never used as glob patterns, and never go through CMake lists unescaped
# (a path may hold "[", "]" or ";").

cmake_policy(VERSION 3.25)

set(KELMOR_RECORD_NAME ".kelmor-install")
set(KELMOR_RECORD_HEADER "# What `make install` brought into this folder and the desktop menu; `make uninstall` removes those files while they are unchanged. Keep this file.\n")
# The largest record an install writes holds a few hundred lines, some
# 450 KB when the paths of the menu are as long as a path can be (4096
# bytes); a larger file is not a record of the kit's, and is not read.
set(KELMOR_RECORD_LIMIT 1048576)
# An install records a few forms of one file at most (the last install's,
# the one it replaces, its own); of more lines for one path only the first
# eight count.
set(KELMOR_RECORD_FORMS 8)

# The names an install writes, as regular expressions: files and folders
# relative to the folder, and below the data folder the menu entries and
# theme icons of a set (kelmor-<id>, or kelmor-<tag>-<id> for the set of
# another folder, MenuEntries.cmake).
list(JOIN KELMOR_KIT_PROGRAMS "|" kelmor_programs)
list(JOIN KELMOR_APP_FOLDERS "|" kelmor_folders)
string(REPLACE "." "\\." kelmor_marker "${KELMOR_MARKER_TEMPLATE_NAME}")
set(KELMOR_RECORD_NAMES_file "^(${kelmor_programs}|dosbox|kelmor-message|${kelmor_marker}|icons/(${kelmor_programs})\\.png)$")
set(KELMOR_RECORD_NAMES_folder "^(${kelmor_folders}|icons)$")
set(KELMOR_RECORD_NAMES_menu "^(applications/kelmor-([0-9a-f]+-)?(${kelmor_programs}|game-configuration)\\.desktop|icons/hicolor/[0-9]+x[0-9]+/apps/kelmor-([0-9a-f]+-)?(${kelmor_programs})\\.png)$")

# Whether a path may stand on a record: one of the names the install writes
# in the folder, or an absolute path of no "." or ".." part that ends in
# the name of a menu entry or theme icon of the kit.
function(kelmor_record_path_allowed kind path out)
  set(allowed FALSE)
  if(path MATCHES "${KELMOR_RECORD_NAMES_${kind}}")
    set(allowed TRUE)
  elseif(kind STREQUAL "file" AND path MATCHES "^/" AND NOT path MATCHES "/\\.\\.?/|//" AND
         path MATCHES "/(applications/[^/]+|icons/hicolor/[^/]+/apps/[^/]+)$")
    if(CMAKE_MATCH_1 MATCHES "${KELMOR_RECORD_NAMES_menu}")
      set(allowed TRUE)
    endif()
  endif()
  set(${out} ${allowed} PARENT_SCOPE)
endfunction()

# Whether `path` is a regular file, not a FIFO, socket or device, which a
# read would wait on or never finish (a link counts as what it leads to).
function(kelmor_is_regular_file path out)
  execute_process(COMMAND test -f "${path}" RESULT_VARIABLE failed)
  if(failed EQUAL 0)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Reads the record `file` into variables of the caller named <prefix>_...:
# _exists (TRUE when it was read), _refused (why not, when what stands at
# its name is no file an install writes), _in (the folder it names),
# _count, and for each thing 1.._count it names: _kind_<i> ("file" or
# "folder"), _path_<i>, _facts_<i> (a file's "<size> <sha256>", a list of
# each form recorded), and for a file _at_<SHA-1 of "file <path>"> = <i>
# (kelmor_record_index). Lines naming nothing an install writes are left
# out. Each line is read once, and looked up by its hash: reading takes
# time in proportion to the record's length.
function(kelmor_record_read file prefix)
  set(exists FALSE)
  set(refused "")
  set(in "")
  set(count 0)
  if(NOT IS_SYMLINK "${file}" AND EXISTS "${file}" AND NOT IS_DIRECTORY "${file}")
    kelmor_is_regular_file("${file}" regular)
    file(SIZE "${file}" size)
    if(NOT regular)
      set(refused "not a regular file")
    elseif(size GREATER KELMOR_RECORD_LIMIT)
      set(refused "${size} bytes, more than any install writes")
    else()
      set(exists TRUE)
      file(READ "${file}" content)
      # One list item a line: the characters a list gives a meaning to
      # become \1 and a digit, which each line gets back.
      string(ASCII 1 esc)
      string(REPLACE "${esc}" "${esc}0" content "${content}")
      string(REPLACE "\\" "${esc}1" content "${content}")
      string(REPLACE ";" "${esc}2" content "${content}")
      string(REPLACE "[" "${esc}3" content "${content}")
      string(REPLACE "]" "${esc}4" content "${content}")
      string(REPLACE "\n" ";" lines "${content}")
      foreach(line IN LISTS lines)
        string(FIND "${line}" "${esc}" escaped)
        if(escaped GREATER -1)
          string(REPLACE "${esc}4" "]" line "${line}")
          string(REPLACE "${esc}3" "[" line "${line}")
          string(REPLACE "${esc}2" ";" line "${line}")
          string(REPLACE "${esc}1" "\\" line "${line}")
          string(REPLACE "${esc}0" "${esc}" line "${line}")
        endif()
        set(kind "")
        if(line MATCHES "^file ([0-9]+) ([0-9a-f]+) (.+)$")
          set(fact "${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")
          set(path "${CMAKE_MATCH_3}")
          string(LENGTH "${CMAKE_MATCH_2}" length)
          if(length EQUAL 64)
            set(kind file)
          endif()
        elseif(line MATCHES "^folder (.+)$")
          set(kind folder)
          set(path "${CMAKE_MATCH_1}")
        elseif(line MATCHES "^in (/.*)$" AND in STREQUAL "")
          set(in "${CMAKE_MATCH_1}")
        endif()
        if(NOT kind STREQUAL "")
          kelmor_record_path_allowed(${kind} "${path}" allowed)
        endif()
        if(kind STREQUAL "" OR NOT allowed)
          continue()
        endif()
        string(SHA1 key "${kind} ${path}")
        if(NOT DEFINED at_${key})
          math(EXPR count "${count} + 1")
          set(at_${key} ${count})
          set(key_${count} ${key})
          set(kind_${count} ${kind})
          set(path_${count} "${path}")
          set(facts_${count} "")
        endif()
        set(i ${at_${key}})
        list(LENGTH facts_${i} forms)
        if(kind STREQUAL "file" AND NOT fact IN_LIST facts_${i} AND forms LESS KELMOR_RECORD_FORMS)
          list(APPEND facts_${i} "${fact}")
        endif()
      endforeach()
    endif()
  endif()
  if(count GREATER 0)
    foreach(i RANGE 1 ${count})
      foreach(field kind path facts)
        set(${prefix}_${field}_${i} "${${field}_${i}}" PARENT_SCOPE)
      endforeach()
      if(kind_${i} STREQUAL "file")
        set(${prefix}_at_${key_${i}} ${i} PARENT_SCOPE)
      endif()
    endforeach()
  endif()
  foreach(field exists refused in count)
    set(${prefix}_${field} "${${field}}" PARENT_SCOPE)
  endforeach()
endfunction()

# The i of the file `path` on the record read as `prefix`, or "".
function(kelmor_record_index prefix path out)
  string(SHA1 key "file ${path}")
  set(${out} "${${prefix}_at_${key}}" PARENT_SCOPE)
endfunction()

# Appends the lines of the record read as `prefix` to the file `file`.
function(kelmor_record_append prefix file)
  if(${prefix}_count EQUAL 0)
    return()
  endif()
  foreach(i RANGE 1 ${${prefix}_count})
    if(${prefix}_kind_${i} STREQUAL "folder")
      file(APPEND "${file}" "folder ${${prefix}_path_${i}}\n")
    endif()
    foreach(fact IN LISTS ${prefix}_facts_${i})
      file(APPEND "${file}" "file ${fact} ${${prefix}_path_${i}}\n")
    endforeach()
  endforeach()
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
  set(regular FALSE)
  if(IS_SYMLINK "${path}")
    set(state link)
  elseif(NOT EXISTS "${path}")
    set(state absent)
  elseif(IS_DIRECTORY "${path}")
    set(state folder)
  else()
    kelmor_is_regular_file("${path}" regular)
    set(state folder)
  endif()
  if(regular)
    kelmor_file_fact("${path}" fact)
    kelmor_record_index(${prefix} "${recorded}" i)
    set(new_fact "")
    if(NOT new STREQUAL "")
      kelmor_file_fact("${new}" new_fact)
    endif()
    if(NOT i STREQUAL "" AND fact IN_LIST ${prefix}_facts_${i})
      set(state kit)
    elseif(fact STREQUAL new_fact)
      set(state same)
    elseif(NOT i STREQUAL "")
      set(state changed)
    else()
      set(state foreign)
    endif()
  endif()
  set(${out} ${state} PARENT_SCOPE)
endfunction()

# Where the thing `recorded` on a record stands: the path, in the folder
# `app` or the menu or icon theme of the data folder `data_home` (its real
# path, kelmor_data_home), and <out>_why: "" when an install can have
# written it, else why not: outside both, or reached through a link in the
# folder (the install writes through none, and one may lead anywhere). The
# data folder's own folders are the user's, as the install found them. The
# thing itself may be a link: kelmor_path_state says so.
function(kelmor_record_target app data_home recorded out)
  set(why "")
  if(recorded MATCHES "^/")
    string(LENGTH "${data_home}/" length)
    string(LENGTH "${recorded}" recorded_length)
    set(head "")
    set(rel "")
    if(recorded_length GREATER length)
      string(SUBSTRING "${recorded}" 0 ${length} head)
      string(SUBSTRING "${recorded}" ${length} -1 rel)
    endif()
    if(data_home STREQUAL "" OR NOT head STREQUAL "${data_home}/" OR NOT rel MATCHES "${KELMOR_RECORD_NAMES_menu}")
      set(why "which is not in the menu or the icon theme of ${data_home}")
    endif()
    set(path "${recorded}")
  else()
    # The names hold no ";" or "[" (KELMOR_RECORD_NAMES): a list is safe.
    string(REPLACE "/" ";" parts "${recorded}")
    list(POP_BACK parts)
    set(path "${app}")
    foreach(part IN LISTS parts)
      string(APPEND path "/${part}")
      if(IS_SYMLINK "${path}" AND why STREQUAL "")
        set(why "reached through the link ${path}")
      endif()
    endforeach()
    set(path "${app}/${recorded}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
  set(${out}_why "${why}" PARENT_SCOPE)
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
  set(count 0)
  if(${prefix}_count EQUAL 0)
    return()
  endif()
  foreach(i RANGE 1 ${${prefix}_count})
    set(path "${${prefix}_path_${i}}")
    string(SHA1 key "file ${path}")
    if(path MATCHES "^/")
      set(${prefix}_at_${key} "" PARENT_SCOPE)
      continue()
    endif()
    math(EXPR count "${count} + 1")
    foreach(field kind path facts)
      set(${prefix}_${field}_${count} "${${prefix}_${field}_${i}}" PARENT_SCOPE)
    endforeach()
    if(${prefix}_kind_${i} STREQUAL "file")
      set(${prefix}_at_${key} ${count} PARENT_SCOPE)
    endif()
  endforeach()
  set(${prefix}_count ${count} PARENT_SCOPE)
endfunction()
