# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that a build tree can turn on; the presets say which tree has which.
#
# KELMOR_LINK_TIME_CHECKS: programs and tests are optimised at link time, and
#   the link fails where one type is defined differently in two translation
#   units (-Werror=odr) or one symbol is declared with two types.
# KELMOR_SANITIZE: everything is built with AddressSanitizer and
#   UndefinedBehaviorSanitizer, and the first finding ends the process.
#   kelmor_check_one_definition() then also checks, after linking, that no
#   name of the kit is defined at two places (which the linker merges).
# KELMOR_FUZZ: the same sanitizers for clang's libFuzzer, whose fuzz
#   targets (tests/fuzz) link -fsanitize=fuzzer.

option(KELMOR_LINK_TIME_CHECKS "Link-time optimisation with One Definition Rule errors" OFF)
option(KELMOR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KELMOR_FUZZ "Build the fuzz targets for libFuzzer (needs clang)" OFF)

if(KELMOR_LINK_TIME_CHECKS)
  add_compile_options(-flto=auto)
  add_link_options(-flto=auto -Werror=odr -Werror=lto-type-mismatch)
endif()

if(KELMOR_SANITIZE OR KELMOR_FUZZ)
  set(kelmor_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all)
  add_compile_options(${kelmor_sanitizers} -fno-omit-frame-pointer)
  add_link_options(${kelmor_sanitizers})
endif()
if(KELMOR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# The kit's static libraries that <target> links, directly or through others.
function(kelmor_linked_libraries target out)
  set(found)
  set(pending ${target})
  while(pending)
    list(POP_FRONT pending current)
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(links ${current} ${property})
      foreach(link IN LISTS links)
        if(TARGET "${link}" AND NOT link IN_LIST found)
          get_target_property(imported ${link} IMPORTED)
          if(NOT imported)
            list(APPEND found ${link})
            list(APPEND pending ${link})
          endif()
        endif()
      endforeach()
    endforeach()
  endwhile()
  set(libraries)
  foreach(library IN LISTS found)
    get_target_property(type ${library} TYPE)
    if(type STREQUAL "STATIC_LIBRARY")
      list(APPEND libraries $<TARGET_FILE:${library}>)
    endif()
  endforeach()
  set(${out} ${libraries} PARENT_SCOPE)
endfunction()

# After <target> is linked, its objects and the kit's libraries it links must
# not define one name twice. A stamp records a check that passed, so a failed
# one runs again at the next build.
function(kelmor_check_one_definition target)
  if(NOT KELMOR_SANITIZE)
    return()
  endif()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.one-definition)
  kelmor_linked_libraries(${target} libraries)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${PROJECT_SOURCE_DIR}/tools/check-one-definition.sh
            $<TARGET_OBJECTS:${target}> ${libraries}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${target} ${PROJECT_SOURCE_DIR}/tools/check-one-definition.sh
    COMMAND_EXPAND_LISTS
    COMMENT "Checking that ${target} defines no name of the kit twice")
  add_custom_target(${target}_one_definition ALL DEPENDS ${stamp})
endfunction()
