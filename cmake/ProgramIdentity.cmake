# SPDX-License-Identifier: GPL-3.0-or-later
# Who the kit and its programs say they are, the one list of it: plain
# values that CMake includes (the project's version, the Windows version
# information, the menu entries) and makes core/program_identity.hpp of for
# the programs (core/program_identity.hpp.in). Names, titles and versions
# change here and nowhere else.

# The kit's version: the project's, its releases' and its packages'.
set(KELMOR_VERSION 1.0.0)

# Each program by its own name, which is also its internal name:
# KELMOR_PROGRAM_<name>_TITLE, its title; _PRODUCT, the product name of its
# version information; _VERSION, its version as shown, major.minor.
set(KELMOR_PROGRAM_KELMOR_TITLE "Kelmor for Windows")
set(KELMOR_PROGRAM_KELMOR_PRODUCT "Kelmor for Windows 2000/XP")
set(KELMOR_PROGRAM_KELMOR_VERSION 1.01)

set(KELMOR_PROGRAM__KelmorPlix_TITLE "Kelmor Plix Launcher")
set(KELMOR_PROGRAM__KelmorPlix_PRODUCT "Kelmor Plix Launcher")
set(KELMOR_PROGRAM__KelmorPlix_VERSION 1.00)

set(KELMOR_PROGRAM__Mapper_TITLE "Kelmor Plix Mapper Launcher")
set(KELMOR_PROGRAM__Mapper_PRODUCT "Kelmor Plix Mapper Launcher")
set(KELMOR_PROGRAM__Mapper_VERSION 1.00)

set(KELMOR_PROGRAM__Configuration_TITLE "Kelmor Plix Configuration")
set(KELMOR_PROGRAM__Configuration_PRODUCT "Kelmor Plix Configuration")
set(KELMOR_PROGRAM__Configuration_VERSION 1.00)

# The configuration tool's title on the game's form ("_Configuration kel1"),
# which the menus give that form too.
set(KELMOR_GAME_CONFIGURATION_TITLE "Kelmor Configuration")
