# SPDX-License-Identifier: GPL-3.0-or-later
# Cross toolchain for the Windows programs as shipped: 32-bit x86, which
# runs on every Windows from XP on, 32 or 64 bit.
set(KELMOR_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
