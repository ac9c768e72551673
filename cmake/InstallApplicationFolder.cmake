# SPDX-License-Identifier: GPL-3.0-or-later
# Runs at install time (see ApplicationFolder.cmake): lays out the
# application folder CMAKE_INSTALL_PREFIX, and records what it brought in the
# folder's install record (InstallRecord.cmake), which the uninstall follows.
#
# Installing again over an existing folder replaces only what the install
# brings (the programs, the bridge and kelmor-message, TEST.FUJ, the icons,
# the menu entries), and of those only files on the folder's record that
# are still what the install wrote: that is an upgrade. The user's files
# stay: the save folder's contents, the kit's installed data, dosbox.conf,
# THEST.FUJ.
#
# A regular file of the user's at one of the kit's names in the folder (their
# own `dosbox` script, a TEST.FUJ or a program they changed since the
# install) is never overwritten: the install stops before it writes anything
# and names those files; so is a FIFO or device there, which is not read
# either. A symbolic link there (say `dosbox` linked to the system's
# emulator) holds no data and is replaced, never written through: each file,
# the record too, is written under a temporary name, made afresh, and
# renamed into place.
#
# A folder that an earlier version of the kit installed has no record; it is
# known by its TEST.FUJ (the kit's line, KELPLIX CR LF): its programs (ELF
# files; `dosbox` the bridge), its icons (PNG files) and its layout folders
# are taken for the kit's, and the install upgrades them and records them.
#
# Menu entries: the folder whose entries are kelmor-<program>.desktop keeps
# them. Any other folder gets a set of its own, kelmor-<tag>-<program>.desktop
# with icons of its own, each named with the folder's name ("Kelmor
# (kelmor2)"; for ~/Games/Kelmor the name of the folder that holds it,
# "Kelmor (Games)"), so that every installed folder can be started from the
# menu.
# An entry or icon of this folder's set that the user changed is kept as it
# is; a file of those names that is not the kit's is never overwritten.

cmake_policy(VERSION 3.25)

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
if(EXISTS "${app}" AND NOT IS_DIRECTORY "${app}")
  message(FATAL_ERROR "Nothing installed: ${app} is a file, not a folder.")
endif()

include("${CMAKE_CURRENT_LIST_DIR}/ApplicationLayout.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/InstallRecord.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/MenuEntries.cmake")

# Writes `destination` from the file `source` under a temporary name, which
# file(COPY_FILE) makes afresh: a link or a FIFO standing there is replaced,
# never written through; then renames it into place.
function(kelmor_replace_file source destination)
  file(COPY_FILE "${source}" "${destination}.installing")
  file(RENAME "${destination}.installing" "${destination}")
endfunction()

# What the install writes: for each i in 1..<set>_count, the file
# <set>_staged_<i> goes to <set>_dest_<i>, recorded as <set>_path_<i>.
function(kelmor_plan set destination recorded staged)
  math(EXPR n "${${set}_count} + 1")
  set(${set}_count ${n} PARENT_SCOPE)
  set(${set}_dest_${n} "${destination}" PARENT_SCOPE)
  set(${set}_path_${n} "${recorded}" PARENT_SCOPE)
  set(${set}_staged_${n} "${staged}" PARENT_SCOPE)
endfunction()

# --- what the folder holds now -----------------------------------------------

set(record "${app}/${KELMOR_RECORD_NAME}")
set(real_app "${app}")
if(IS_DIRECTORY "${app}")
  file(REAL_PATH "${app}" real_app)
endif()
kelmor_record_read("${record}" old)
# A record that came along with a copy of another folder names that folder:
# its menu entries are the other folder's, not this one's.
if(old_exists AND NOT "${old_in}" STREQUAL "${real_app}" AND old_count GREATER 0)
  kelmor_record_forget_outside(old)
endif()

# An earlier version's install: no record, the kit's TEST.FUJ.
set(earlier_install FALSE)
set(marker "${app}/${KELMOR_MARKER_TEMPLATE_NAME}")
set(marker_regular FALSE)
if(NOT old_exists AND NOT IS_SYMLINK "${marker}" AND EXISTS "${marker}" AND NOT IS_DIRECTORY "${marker}")
  kelmor_is_regular_file("${marker}" marker_regular)
endif()
if(marker_regular)
  file(SIZE "${marker}" marker_size)
  if(marker_size LESS 64)
    # In hex: file(READ) would drop the CR.
    file(READ "${marker}" marker_hex HEX)
    string(HEX "${KELMOR_MARKER_TEMPLATE_TEXT}" template_hex)
    if(marker_hex STREQUAL template_hex)
      set(earlier_install TRUE)
    endif()
  endif()
endif()

# Whether the file at `recorded` in an earlier version's install is the
# kit's: a program (the bridge for `dosbox`), an icon, TEST.FUJ.
function(kelmor_earlier_kit_file path recorded out)
  file(READ "${path}" magic LIMIT 4 HEX)
  set(kit FALSE)
  if(recorded STREQUAL KELMOR_MARKER_TEMPLATE_NAME)
    set(kit TRUE)
  elseif(recorded MATCHES "^icons/")
    if(magic STREQUAL "89504e47")
      set(kit TRUE)
    endif()
  elseif(magic STREQUAL "7f454c46")
    set(kit TRUE)
    if(recorded STREQUAL "dosbox")
      file(STRINGS "${path}" bridge LIMIT_COUNT 1 REGEX "KELMOR_DOSBOX_BRIDGE")
      if(bridge STREQUAL "")
        set(kit FALSE)
      endif()
    endif()
  endif()
  set(${out} ${kit} PARENT_SCOPE)
endfunction()

# --- the files, made ready outside the folder ---------------------------------

string(SHA256 app_id "${app}")
set(stage "${KELMOR_STAGING}/${app_id}")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}/icons")

# A program without its symbols, which only a debugger wants.
function(kelmor_stage_program source staged)
  file(COPY_FILE "${source}" "${staged}")
  if(KELMOR_STRIP)
    execute_process(COMMAND "${KELMOR_STRIP}" "${staged}" RESULT_VARIABLE stripped)
    if(NOT stripped EQUAL 0)
      message(FATAL_ERROR "Nothing installed: cannot strip ${staged}: ${stripped}")
    endif()
  endif()
endfunction()

set(inside_count 0)
foreach(program IN LISTS KELMOR_APP_PROGRAMS)
  kelmor_stage_program("${KELMOR_APP_${program}_FILE}" "${stage}/${program}")
  kelmor_plan(inside "${app}/${program}" "${program}" "${stage}/${program}")
  kelmor_plan(inside "${app}/icons/${program}.png" "icons/${program}.png" "${KELMOR_APP_${program}_ICON}")
endforeach()
if(DEFINED KELMOR_APP_BRIDGE)
  kelmor_stage_program("${KELMOR_APP_BRIDGE}" "${stage}/dosbox")
  kelmor_plan(inside "${app}/dosbox" "dosbox" "${stage}/dosbox")
  kelmor_stage_program("${KELMOR_APP_BRIDGE_MESSAGE}" "${stage}/kelmor-message")
  kelmor_plan(inside "${app}/kelmor-message" "kelmor-message" "${stage}/kelmor-message")
endif()
file(WRITE "${stage}/${KELMOR_MARKER_TEMPLATE_NAME}" "${KELMOR_MARKER_TEMPLATE_TEXT}")
kelmor_plan(inside "${app}/${KELMOR_MARKER_TEMPLATE_NAME}" "${KELMOR_MARKER_TEMPLATE_NAME}"
            "${stage}/${KELMOR_MARKER_TEMPLATE_NAME}")

# --- the folder: which names are free, the kit's, or the user's ---------------

# The state of each file (kelmor_path_state), <set>_state_<i>; a file of an
# earlier version's install counts as the kit's.
set(refused "")
foreach(i RANGE 1 ${inside_count})
  kelmor_path_state("${inside_dest_${i}}" "${inside_path_${i}}" "${inside_staged_${i}}" old state)
  if(state STREQUAL "foreign" AND earlier_install)
    kelmor_earlier_kit_file("${inside_dest_${i}}" "${inside_path_${i}}" earlier)
    if(earlier)
      set(state kit)
    endif()
  endif()
  set(inside_state_${i} ${state})
  if(state STREQUAL "foreign")
    string(APPEND refused "\n  ${inside_dest_${i}} (not the kit's)")
  elseif(state STREQUAL "changed")
    string(APPEND refused "\n  ${inside_dest_${i}} (changed since the kit installed it)")
  elseif(state STREQUAL "folder" AND IS_DIRECTORY "${inside_dest_${i}}")
    string(APPEND refused "\n  ${inside_dest_${i}} (a folder)")
  elseif(state STREQUAL "folder")
    string(APPEND refused "\n  ${inside_dest_${i}} (not a regular file)")
  endif()
endforeach()

if(IS_DIRECTORY "${record}")
  string(APPEND refused "\n  ${record} (a folder at the name of the install record)")
elseif(NOT old_refused STREQUAL "")
  string(APPEND refused "\n  ${record} (${old_refused})")
endif()

# Folders: those the install creates go on the record, and those an earlier
# version's install made; so do those that the last install created.
set(folder_lines "")
if(old_count GREATER 0)
  foreach(i RANGE 1 ${old_count})
    if(old_kind_${i} STREQUAL "folder")
      string(APPEND folder_lines "folder ${old_path_${i}}\n")
    endif()
  endforeach()
endif()
foreach(folder IN LISTS KELMOR_APP_FOLDERS ITEMS icons)
  set(path "${app}/${folder}")
  if(IS_SYMLINK "${path}" AND NOT IS_DIRECTORY "${path}")
    string(APPEND refused "\n  ${path} (a link to no folder)")
  elseif(IS_SYMLINK "${path}" AND folder STREQUAL "icons")
    # The icons would go wherever it leads, and the uninstall takes back
    # nothing through a link.
    string(APPEND refused "\n  ${path} (a link, where the kit writes its icons)")
  elseif(EXISTS "${path}" AND NOT IS_DIRECTORY "${path}")
    string(APPEND refused "\n  ${path} (a file where the kit has a folder)")
  elseif(NOT EXISTS "${path}" OR (earlier_install AND NOT IS_SYMLINK "${path}"))
    string(FIND "\n${folder_lines}" "\nfolder ${folder}\n" known)
    if(known EQUAL -1)
      string(APPEND folder_lines "folder ${folder}\n")
    endif()
  endif()
endforeach()

# --- the menu entries ---------------------------------------------------------

# A program path as the Exec key wants it: quoted unless it holds only safe
# characters; inside the quotes ", `, $ and \ carry a backslash; % doubled;
# then the string escaping of every value. GLib (2.74) looks for the program
# before it turns %% into %, and finds none: a path with % is started
# through sh, which gets it as $0.
function(kelmor_desktop_exec path argument out)
  set(sh "")
  if(path MATCHES "%")
    set(sh "sh -c \"exec \\\"\\$0\\\" \\\"\\$@\\\"\" ")
  endif()
  if(NOT path MATCHES "^[A-Za-z0-9_./+,:@=-]+$")
    foreach(special "\\" "\"" "`" "$")
      string(REPLACE "${special}" "\\${special}" path "${path}")
    endforeach()
    set(path "\"${path}\"")
  endif()
  string(REPLACE "%" "%%" path "${path}")
  set(exec "${sh}${path}")
  if(NOT argument STREQUAL "")
    string(APPEND exec " ${argument}")
  endif()
  kelmor_desktop_string("${exec}" exec)
  set(${out} "${exec}" PARENT_SCOPE)
endfunction()

# The next step, in two lines, at the end of the install.
set(drive_map "$ENV{XDG_CONFIG_HOME}")
if(NOT IS_ABSOLUTE "${drive_map}")
  set(drive_map "$ENV{HOME}/.config")
endif()
set(drive_map "${drive_map}/kelmor/drives.ini")
set(cd_line "Give the kit its CD: copy the CD image (.iso or .cue) into ${app}, or name the CD's folder or image in ${drive_map} (E=/media/cdrom), or use Kelmor Drives.")

kelmor_desktop_string("${app}" folder_value)

# The state of a menu entry or icon at `path`, as kelmor_path_state says,
# but an entry of an earlier version's install that starts this folder
# (its Path= names it) is the kit's.
function(kelmor_menu_file_state path staged out)
  kelmor_path_state("${path}" "${path}" "${staged}" old state)
  set(starts "")
  if(state STREQUAL "foreign" AND path MATCHES "\\.desktop$")
    file(READ "${path}" text)
    if(text MATCHES "(^|\n)Path=([^\n]*)")
      set(starts "${CMAKE_MATCH_2}")
      if(starts STREQUAL folder_value)
        set(state kit)
      endif()
    endif()
  endif()
  set(${out} ${state} PARENT_SCOPE)
  set(${out}_starts "${starts}" PARENT_SCOPE)
endfunction()

# Makes ready the set of entries with tag `tag` ("" for kelmor-*.desktop)
# as the plan `set`, with each file's state, and says in <set>_verdict
# whether this folder can have it: "usable", or "taken" when an entry of
# those names is not the kit's (a link, or another's file: <set>_taken
# names it, <set>_other the folder it starts). Icons that are not the kit's
# stay as they are and do not take a set.
function(kelmor_plan_menu set tag)
  set(${set}_count 0)
  set(icons "")
  set(verdict usable)
  set(taken "")
  set(other "")
  file(MAKE_DIRECTORY "${stage}/${set}")
  foreach(kind IN LISTS KELMOR_MENU_ENTRIES)
    kelmor_menu_id(${kind} "${tag}" id)
    kelmor_menu_id("${${kind}_ICON}" "${tag}" icon)
    kelmor_menu_name(${kind} "${tag}" "${app}" name)
    kelmor_desktop_string("${name}" name)
    kelmor_desktop_exec("${app}/${${kind}_PROGRAM}" "${${kind}_ARGUMENT}" exec)
    kelmor_desktop_string("${app}/${${kind}_PROGRAM}" try_exec)
    set(staged "${stage}/${set}/${id}.desktop")
    kelmor_write_desktop_entry("${staged}" ${kind} "${name}" "${exec}" "${try_exec}"
                               "${folder_value}" "${icon}")
    set(entry "${menu}/${id}.desktop")
    kelmor_plan(${set} "${entry}" "${entry}" "${staged}")
    kelmor_menu_file_state("${entry}" "${staged}" state)
    set(${set}_state_${${set}_count} ${state} PARENT_SCOPE)
    if(state MATCHES "^(foreign|link|folder)$" AND verdict STREQUAL "usable")
      set(verdict taken)
      set(taken "${entry}")
      set(other "${state_starts}")
    endif()
    list(FIND icons "${icon}" known)
    if(known EQUAL -1)
      list(APPEND icons "${icon}")
      foreach(size IN LISTS KELMOR_ICON_SIZES)
        set(path "${data_home}/icons/hicolor/${size}x${size}/apps/${icon}.png")
        set(staged "${KELMOR_ART}/icons/${size}x${size}/${${kind}_ART}.png")
        kelmor_plan(${set} "${path}" "${path}" "${staged}")
        kelmor_menu_file_state("${path}" "${staged}" state)
        set(${set}_state_${${set}_count} ${state} PARENT_SCOPE)
      endforeach()
    endif()
  endforeach()
  set(${set}_count ${${set}_count} PARENT_SCOPE)
  foreach(i RANGE 1 ${${set}_count})
    foreach(field dest path staged)
      set(${set}_${field}_${i} "${${set}_${field}_${i}}" PARENT_SCOPE)
    endforeach()
  endforeach()
  set(${set}_verdict ${verdict} PARENT_SCOPE)
  set(${set}_taken "${taken}" PARENT_SCOPE)
  set(${set}_other "${other}" PARENT_SCOPE)
endfunction()

set(menu_set "")
set(no_menu "")
kelmor_data_home(data_home)
kelmor_is_utf8("${app}" app_is_utf8)
if(data_home STREQUAL "")
  set(no_menu "No menu entries: start the programs in ${app}.")
elseif(data_home MATCHES "[\r\n]")
  set(no_menu "No menu entries: the data folder's path (XDG_DATA_HOME) holds a line end; start the programs in ${app}.")
elseif(NOT app_is_utf8)
  set(no_menu "No menu entries: the folder's path is not UTF-8 text, and a menu entry cannot name it (desktops refuse such an entry); start the programs in ${app}, or install into a folder whose name is UTF-8.")
else()
  set(menu "${data_home}/applications")
  kelmor_plan_menu(main "")
  if(main_verdict STREQUAL "usable")
    set(menu_set main)
  else()
    string(SUBSTRING "${app_id}" 0 8 tag)
    kelmor_plan_menu(own "${tag}")
    if(own_verdict STREQUAL "usable")
      set(menu_set own)
    else()
      set(no_menu "No menu entries: ${main_taken} and ${own_taken} are not this folder's; start the programs in ${app}.")
    endif()
  endif()
endif()

# A folder at a temporary name (kelmor_replace_file) cannot be replaced.
set(record_count 1)
set(record_dest_1 "${record}")
foreach(set IN ITEMS record inside ${menu_set})
  foreach(i RANGE 1 ${${set}_count})
    if(IS_DIRECTORY "${${set}_dest_${i}}.installing")
      string(APPEND refused "\n  ${${set}_dest_${i}}.installing (a folder at the install's temporary name)")
    endif()
  endforeach()
endforeach()

if(NOT refused STREQUAL "")
  file(REMOVE_RECURSE "${stage}")
  message(NOTICE "Nothing installed into ${app}: these files are not the kit's, and installing would overwrite them:${refused}\n"
                 "Move them out of the folder (or remove them), then install again; or choose another folder.")
  message(FATAL_ERROR "Nothing installed: files of the user's in the way (above).")
endif()

# --- writing ------------------------------------------------------------------

# The record's lines of what this install writes. A menu entry or icon that
# the user changed keeps its lines and stays as it is; one that is not the
# kit's stays too.
set(file_lines "")
set(replaced_lines "")
set(written_count 0)
set(written_paths "\n")
foreach(set IN ITEMS inside ${menu_set})
  foreach(i RANGE 1 ${${set}_count})
    set(dest "${${set}_dest_${i}}")
    set(recorded "${${set}_path_${i}}")
    set(state "${${set}_state_${i}}")
    string(APPEND written_paths "${recorded}\n")
    if(state STREQUAL "changed")
      message(NOTICE "Kept: ${dest}, changed since the install; not replaced.")
      kelmor_record_index(old "${recorded}" j)
      foreach(fact IN LISTS old_facts_${j})
        string(APPEND file_lines "file ${fact} ${recorded}\n")
      endforeach()
    elseif(state MATCHES "^(foreign|link|folder)$" AND NOT set STREQUAL "inside")
      message(STATUS "Kept: ${dest}, which is not the kit's")
    else()
      if(state MATCHES "^(kit|same)$")
        kelmor_file_fact("${dest}" fact)
        string(APPEND replaced_lines "file ${fact} ${recorded}\n")
      endif()
      kelmor_file_fact("${${set}_staged_${i}}" fact)
      string(APPEND file_lines "file ${fact} ${recorded}\n")
      math(EXPR written_count "${written_count} + 1")
      set(written_dest_${written_count} "${dest}")
      set(written_staged_${written_count} "${${set}_staged_${i}}")
    endif()
  endforeach()
endforeach()

# While the files are written, the record holds the old lines too, and those
# of the files this install replaces as they are now (an earlier version's),
# so that an install cut short leaves every file it touched on the record, in
# its old form or its new one.
function(kelmor_write_record with_old text)
  set(staged "${stage}/${KELMOR_RECORD_NAME}")
  file(WRITE "${staged}" "${KELMOR_RECORD_HEADER}in ${real_app}\n")
  if(with_old)
    kelmor_record_append(old "${staged}")
  endif()
  file(APPEND "${staged}" "${text}")
  kelmor_replace_file("${staged}" "${record}")
endfunction()

file(MAKE_DIRECTORY "${app}")
file(REAL_PATH "${app}" real_app)
kelmor_write_record(TRUE "${replaced_lines}${folder_lines}${file_lines}")

foreach(folder IN LISTS KELMOR_APP_FOLDERS ITEMS icons)
  file(MAKE_DIRECTORY "${app}/${folder}")
endforeach()
if(NOT menu_set STREQUAL "")
  file(MAKE_DIRECTORY "${menu}")
  foreach(size IN LISTS KELMOR_ICON_SIZES)
    file(MAKE_DIRECTORY "${data_home}/icons/hicolor/${size}x${size}/apps")
  endforeach()
endif()
if(written_count GREATER 0)
  foreach(i RANGE 1 ${written_count})
    kelmor_replace_file("${written_staged_${i}}" "${written_dest_${i}}")
    if(written_dest_${i} MATCHES "\\.desktop$")
      message(STATUS "Menu entry: ${written_dest_${i}}")
    elseif(NOT written_dest_${i} MATCHES "\\.png$")
      message(STATUS "Installed: ${written_dest_${i}}")
    endif()
  endforeach()
endif()

# What the last install brought and this one does not (the menu entries of
# another set, a program the kit no longer has) goes while it is unchanged;
# entries before icons, and an icon only when no entry names it.
if(old_count GREATER 0)
  foreach(pass entries icons)
    foreach(i RANGE 1 ${old_count})
      set(recorded "${old_path_${i}}")
      set(is_icon FALSE)
      if(recorded MATCHES "^/.*\\.png$")
        set(is_icon TRUE)
      endif()
      if(NOT old_kind_${i} STREQUAL "file" OR
         (pass STREQUAL "icons" AND NOT is_icon) OR (pass STREQUAL "entries" AND is_icon))
        continue()
      endif()
      string(FIND "${written_paths}" "\n${recorded}\n" at)
      if(recorded MATCHES "^/")
        # The same file named another way (XDG_DATA_HOME through a link).
        kelmor_canonical_path("${recorded}" canonical)
        string(FIND "${written_paths}" "\n${canonical}\n" canonical_at)
        if(canonical_at GREATER -1)
          set(at ${canonical_at})
        endif()
      endif()
      kelmor_record_target("${app}" "${data_home}" "${recorded}" path)
      if(at GREATER -1)
        continue()
      elseif(NOT path_why STREQUAL "")
        message(STATUS "Kept: ${path}, ${path_why}")
        continue()
      endif()
      kelmor_path_state("${path}" "${recorded}" "" old state)
      if(state STREQUAL "kit")
        if(is_icon)
          kelmor_icon_in_use("${path}" used)
          if(used)
            continue()
          endif()
        endif()
        file(REMOVE "${path}")
        message(STATUS "Removed: ${path}, which this install no longer brings")
      elseif(state STREQUAL "changed")
        message(NOTICE "Kept: ${path}, changed since the install (this install no longer brings it).")
      endif()
    endforeach()
  endforeach()
endif()

kelmor_write_record(FALSE "${folder_lines}${file_lines}")
file(REMOVE_RECURSE "${stage}")
message(STATUS "Install record: ${record}")

# The launchers start dosbox.exe when there is one, whatever its case.
execute_process(COMMAND find "${app}/" -maxdepth 1 -iname dosbox.exe -printf "%f\n"
                OUTPUT_VARIABLE emulators ERROR_QUIET)
string(REGEX MATCHALL "[^\n]+" emulators "${emulators}")
foreach(entry IN LISTS emulators)
  message(WARNING "${app}/${entry} is started in place of the bridge `dosbox`; "
                  "remove it unless it is meant to be the emulator.")
endforeach()

if(menu_set STREQUAL "")
  message(NOTICE "${no_menu}\n${cd_line}")
elseif(menu_set STREQUAL "main")
  message(NOTICE "The menu entries are in ${menu} (kelmor-*.desktop): look for Kelmor in your desktop's menu.\n${cd_line}")
else()
  kelmor_menu_set_name("${app}" base)
  set(other "are not this folder's")
  if(NOT main_other STREQUAL "")
    set(other "start ${main_other}")
  endif()
  message(NOTICE "The menu entries are in ${menu} (kelmor-${tag}-*.desktop): look for Kelmor (${base}) in your desktop's menu; kelmor-*.desktop ${other}.\n${cd_line}")
endif()
