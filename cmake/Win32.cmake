# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows programs: Unicode Win32 for XP and later, linked statically so
# that each .exe runs from a bare folder, with their identity, icon and
# pictures as resources.
enable_language(RC)

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0501 WINVER=0x0501)
add_link_options(-static -static-libgcc -static-libstdc++)

# The architecture the manifests name, and the oldest Windows of that
# architecture: XP (5.01) for x86, XP x64 (5.02) for amd64.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KELMOR_WIN32_ARCHITECTURE amd64)
  set(KELMOR_WIN32_MINOR_VERSION 2)
else()
  set(KELMOR_WIN32_ARCHITECTURE x86)
  set(KELMOR_WIN32_MINOR_VERSION 1)
endif()

# The programs are GUI programs with a wWinMain; subsystem and OS version
# 5.01 let XP start them (the toolchain's default, 4.0, would too, but Windows
# 2000 and XP then apply compatibility rules meant for older programs).
set(KELMOR_WIN32_PROGRAM_LINK_OPTIONS
    -municode -mwindows -s
    -Wl,--subsystem,windows:5.0${KELMOR_WIN32_MINOR_VERSION},--major-os-version,5,--minor-os-version,${KELMOR_WIN32_MINOR_VERSION})

set(KELMOR_WIN32_TEMPLATES ${CMAKE_CURRENT_LIST_DIR}/win32)

# The identity of a program from cmake/ProgramIdentity.cmake: sets
# <prefix>_TITLE, _PRODUCT, _SHOWN ("1.01"), _MAJOR and _MINOR.
function(kelmor_program_identity program prefix)
  set(id KELMOR_PROGRAM_${program})
  if(NOT DEFINED ${id}_VERSION)
    message(FATAL_ERROR "no identity for ${program} in cmake/ProgramIdentity.cmake")
  endif()
  set(${prefix}_TITLE "${${id}_TITLE}" PARENT_SCOPE)
  set(${prefix}_PRODUCT "${${id}_PRODUCT}" PARENT_SCOPE)
  set(${prefix}_SHOWN "${${id}_VERSION}" PARENT_SCOPE)
  string(REPLACE "." ";" parts "${${id}_VERSION}")
  list(GET parts 0 major)
  list(GET parts 1 minor)
  math(EXPR major "${major}")
  math(EXPR minor "${minor}")
  set(${prefix}_MAJOR ${major} PARENT_SCOPE)
  set(${prefix}_MINOR ${minor} PARENT_SCOPE)
endfunction()

# kelmor_win32_program(<library> <program> <file>...): the files, the
# program's Win32 main and views, with <library> make the Windows program
# <program>, with its version information and manifest. A program without
# them has no Windows program (yet).
function(kelmor_win32_program library program)
  set(sources ${ARGN})
  if(NOT sources)
    return()
  endif()

  kelmor_program_identity(${program} ID)
  # A name in capitals is a name of the DOS era: KELMOR.EXE.
  string(TOUPPER "${program}" upper)
  if(upper STREQUAL program)
    set(ID_SUFFIX ".EXE")
  else()
    set(ID_SUFFIX ".exe")
  endif()
  set(ID_PROGRAM ${program})
  set(resources ${CMAKE_CURRENT_BINARY_DIR}/resources)
  configure_file(${KELMOR_WIN32_TEMPLATES}/program.manifest.in ${resources}/${program}.manifest @ONLY)
  set(ID_MANIFEST ${resources}/${program}.manifest)
  configure_file(${KELMOR_WIN32_TEMPLATES}/identity.rc.in ${resources}/${program}_identity.rc @ONLY)
  set_source_files_properties(${resources}/${program}_identity.rc PROPERTIES
                              OBJECT_DEPENDS ${ID_MANIFEST})

  add_executable(${program} WIN32 ${sources} ${resources}/${program}_identity.rc)
  target_link_libraries(${program} PRIVATE ${library} kelmor_win32)
  target_link_options(${program} PRIVATE ${KELMOR_WIN32_PROGRAM_LINK_OPTIONS})
  set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KELMOR_BIN_DIR}
                                              SUFFIX ${ID_SUFFIX})
endfunction()

# kelmor_win32_resource(<target> <symbol> <file>): <file> becomes a resource
# of <target> named <symbol> in capitals. A picture whose symbol ends in
# _icon_bmp becomes the program's icon (16 colours when it has no more,
# otherwise 24-bit); any other file is RCDATA, as it is.
function(kelmor_win32_resource target symbol file)
  if(NOT TARGET ${target})
    return()
  endif()
  get_filename_component(abs "${file}" ABSOLUTE)
  string(TOUPPER "${symbol}" name)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/resources/${symbol}.rc)
  if(symbol MATCHES "_icon_bmp$")
    add_custom_command(
      OUTPUT ${rc}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${rc} -DNAME=${name}
              -P ${KELMOR_WIN32_TEMPLATES}/IconResource.cmake
      DEPENDS ${abs} ${KELMOR_WIN32_TEMPLATES}/IconResource.cmake
      COMMENT "Making the icon ${name} from ${file}")
  else()
    file(CONFIGURE OUTPUT ${rc} CONTENT "${name} RCDATA \"${abs}\"\n")
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${abs})
  endif()
  target_sources(${target} PRIVATE ${rc})
endfunction()
