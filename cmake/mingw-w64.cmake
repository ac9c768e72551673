# SPDX-License-Identifier: GPL-3.0-or-later
# What the two Windows toolchains share: mingw-w64 with the win32 thread
# model (the posix one links winpthread, which needs Vista). The toolchain
# file of a target sets KELMOR_MINGW_TRIPLET and CMAKE_SYSTEM_PROCESSOR, then
# includes this.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KELMOR_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KELMOR_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${KELMOR_MINGW_TRIPLET}-windres)

# Libraries and headers come from the target's root only; programs such as
# wine or objdump are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${KELMOR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
