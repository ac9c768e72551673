# SPDX-License-Identifier: GPL-3.0-or-later
# Cross toolchain for an x86_64 build of the Windows programs: the same
# sources, tested under 64-bit Wine on a machine that cannot run 32-bit
# programs. What users download stays the 32-bit build.
set(KELMOR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
