# SPDX-License-Identifier: GPL-3.0-or-later
# kelmor_embed(<target> <symbol> <file>): compiles <file> into <target> as
# `extern const unsigned char <symbol>[]` and `extern const std::size_t <symbol>_size`,
# so a program carries its pictures and reads no file for them. On Windows
# the file becomes a resource of the program instead (kelmor_win32_resource).
function(kelmor_embed target symbol file)
  if(WIN32)
    kelmor_win32_resource(${target} ${symbol} ${file})
    return()
  endif()
  get_filename_component(abs "${file}" ABSOLUTE)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${out} -DSYMBOL=${symbol}
            -P "${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake"
    DEPENDS "${abs}" "${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake"
    COMMENT "Embedding ${file}")
  target_sources(${target} PRIVATE "${out}")
endfunction()
