# SPDX-License-Identifier: GPL-3.0-or-later
# kelmor_program(<library> <program> SOURCES <file>... [LINUX <file>...]
#                [WINDOWS <file>...]): the folder's neutral sources, SOURCES,
# become <library>, linked into kelmor_programs for the tests. LINUX, its
# main and FLTK views, make with <library> the Linux program <program>;
# WINDOWS, its Win32 main and views, the Windows program of that name
# instead (kelmor_win32_program). Each file is named: a file renamed or
# added joins no program until it is listed.
function(kelmor_program library program)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;LINUX;WINDOWS")
  add_library(${library} STATIC ${arg_SOURCES})
  target_link_libraries(${library} PUBLIC kelmor_core)
  target_link_libraries(kelmor_programs INTERFACE ${library})
  if(WIN32)
    kelmor_win32_program(${library} ${program} ${arg_WINDOWS})
    return()
  endif()

  add_executable(${program} ${arg_LINUX})
  target_link_libraries(${program} PRIVATE ${library} kelmor_posix kelmor_fltk)
  set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KELMOR_BIN_DIR})
endfunction()
