# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the icon resource NAME for the 24-bit bitmap INPUT into the resource
# script OUTPUT: one icon image (resource type 3, id 1) and its group (type
# 14). A picture of at most 16 colours becomes a 16-colour icon with its own
# palette, any other a 24-bit one; every pixel is opaque.
#
#   cmake -DINPUT=picture.bmp -DOUTPUT=icon.rc -DNAME=KELMOR_ICON_BMP -P IconResource.cmake

file(READ "${INPUT}" hex HEX)

# Little-endian unsigned field of `size` bytes at byte `offset`.
function(read_field offset size out)
  set(value 0)
  foreach(i RANGE 1 ${size})
    math(EXPR at "(${offset} + ${size} - ${i}) * 2")
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR value "(${value} << 8) | 0x${byte}")
  endforeach()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# `size` bytes of `value`, little-endian, as hex digits.
function(field_hex value size out)
  set(digits "")
  foreach(i RANGE 1 ${size})
    math(EXPR byte "(${value} >> ((${i} - 1) * 8)) & 0xFF" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING "${byte}" 2 -1 byte)
    string(LENGTH "${byte}" length)
    if(length EQUAL 1)
      set(byte "0${byte}")
    endif()
    string(APPEND digits "${byte}")
  endforeach()
  set(${out} "${digits}" PARENT_SCOPE)
endfunction()

# `count` zero bytes as hex digits.
function(zero_hex count out)
  string(REPEAT "00" ${count} digits)
  set(${out} "${digits}" PARENT_SCOPE)
endfunction()

if(NOT hex MATCHES "^424d")
  message(FATAL_ERROR "${INPUT}: not a bitmap")
endif()
read_field(10 4 pixels_at)
read_field(14 4 header_size)
read_field(18 4 width)
read_field(22 4 height)
read_field(28 2 bits)
read_field(30 4 compression)
if(NOT header_size EQUAL 40 OR NOT bits EQUAL 24 OR NOT compression EQUAL 0
   OR height GREATER 2147483647 OR width GREATER 256 OR height GREATER 256)
  message(FATAL_ERROR "${INPUT}: not a bottom-up, uncompressed 24-bit bitmap of at most 256 x 256")
endif()
math(EXPR stride "(${width} * 3 + 3) / 4 * 4")
math(EXPR pixel_bytes "${stride} * ${height}")
math(EXPR pixels_hex_at "${pixels_at} * 2")
math(EXPR pixels_hex_length "${pixel_bytes} * 2")
string(SUBSTRING "${hex}" ${pixels_hex_at} ${pixels_hex_length} pixels)

# The colours, in order of first appearance, each as "bbggrr".
set(palette "")
set(indexes "")
math(EXPR last_row "${height} - 1")
math(EXPR last_column "${width} - 1")
foreach(row RANGE ${last_row})
  foreach(column RANGE ${last_column})
    math(EXPR at "(${row} * ${stride} + ${column} * 3) * 2")
    string(SUBSTRING "${pixels}" ${at} 6 colour)
    list(FIND palette "${colour}" index)
    if(index EQUAL -1)
      list(LENGTH palette index)
      list(APPEND palette "${colour}")
    endif()
    list(APPEND indexes ${index})
  endforeach()
endforeach()
list(LENGTH palette colours)

if(colours LESS_EQUAL 16)
  set(icon_bits 4)
  set(colour_count 16)
  set(colour_table "")
  foreach(colour IN LISTS palette)
    string(APPEND colour_table "${colour}00")
  endforeach()
  math(EXPR unused_bytes "(16 - ${colours}) * 4")
  zero_hex(${unused_bytes} padding)
  string(APPEND colour_table "${padding}")
  set(image "")
  math(EXPR row_bytes "(${width} * 4 + 31) / 32 * 4")
  math(EXPR row_padding "${row_bytes} - (${width} + 1) / 2")
  zero_hex(${row_padding} row_pad)
  set(digit "0123456789abcdef")
  set(n 0)
  foreach(row RANGE ${last_row})
    foreach(column RANGE ${last_column})
      list(GET indexes ${n} index)
      string(SUBSTRING "${digit}" ${index} 1 nibble)
      string(APPEND image "${nibble}")
      math(EXPR n "${n} + 1")
    endforeach()
    math(EXPR odd "${width} % 2")
    if(odd)
      string(APPEND image "0")
    endif()
    string(APPEND image "${row_pad}")
  endforeach()
else()
  set(icon_bits 24)
  set(colour_count 0)
  set(colour_table "")
  set(image "${pixels}")
endif()

# Every pixel opaque: an AND mask of zeros, rows padded to 4 bytes.
math(EXPR mask_bytes "(${width} + 31) / 32 * 4 * ${height}")
zero_hex(${mask_bytes} mask)
string(LENGTH "${image}" image_length)
math(EXPR pixel_section "${image_length} / 2 + ${mask_bytes}")
math(EXPR double_height "${height} * 2")

# BITMAPINFOHEADER of an icon image: the height counts the XOR and AND parts.
set(header "")
foreach(field "40;4" "${width};4" "${double_height};4" "1;2" "${icon_bits};2" "0;4"
              "${pixel_section};4" "0;4" "0;4" "0;4" "0;4")
  list(GET field 0 value)
  list(GET field 1 size)
  field_hex(${value} ${size} digits)
  string(APPEND header "${digits}")
endforeach()
set(icon "${header}${colour_table}${image}${mask}")
string(LENGTH "${icon}" icon_length)
math(EXPR icon_bytes "${icon_length} / 2")

# GRPICONDIR with one GRPICONDIRENTRY pointing at image id 1.
math(EXPR size_byte "${width} % 256")
set(group "")
foreach(field "0;2" "1;2" "1;2" "${size_byte};1" "${size_byte};1" "${colour_count};1" "0;1"
              "1;2" "${icon_bits};2" "${icon_bytes};4" "1;2")
  list(GET field 0 value)
  list(GET field 1 size)
  field_hex(${value} ${size} digits)
  string(APPEND group "${digits}")
endforeach()

# Resource data as 16-bit words: each pair of bytes, little-endian.
function(words hex_digits out)
  string(REGEX REPLACE "(..)(..)" "0x\\2\\1," list "${hex_digits}")
  string(REGEX REPLACE ",$" "" list "${list}")
  string(REPEAT "0x....," 12 line)
  string(REGEX REPLACE "(${line})" "\\1\n  " list "${list}")
  set(${out} "${list}" PARENT_SCOPE)
endfunction()
words("${icon}" icon_words)
words("${group}" group_words)
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT}; do not edit.\n"
  "// ${width} x ${height}, ${icon_bits} bits per pixel.\n"
  "1 3\nBEGIN\n  ${icon_words}\nEND\n\n"
  "${NAME} 14\nBEGIN\n  ${group_words}\nEND\n")
