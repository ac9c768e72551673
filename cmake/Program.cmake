# SPDX-License-Identifier: GPL-3.0-or-later
# kelmor_program(<library> <program> [EXCLUDE <regex>] [SOURCES <file>...]):
# the folder's neutral sources (all *.cpp but the mains, the win32_ files and
# what EXCLUDE matches) become <library>, linked into kelmor_programs for the
# tests; its posix_main.cpp and SOURCES become the Linux program <program> on
# FLTK. On Windows its win32_*.cpp files make the Win32 program instead
# (kelmor_win32_program).
function(kelmor_program library program)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "EXCLUDE" "SOURCES")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_main\\.cpp$")
  list(FILTER sources EXCLUDE REGEX "/win32_[^/]*\\.cpp$")
  if(arg_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${arg_EXCLUDE}")
  endif()
  add_library(${library} STATIC ${sources})
  target_link_libraries(${library} PUBLIC kelmor_core)
  target_link_libraries(kelmor_programs INTERFACE ${library})
  if(WIN32)
    kelmor_win32_program(${library} ${program})
    return()
  endif()

  add_executable(${program} posix_main.cpp ${arg_SOURCES})
  target_link_libraries(${program} PRIVATE ${library} kelmor_fltk)
  set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KELMOR_BIN_DIR})
endfunction()
