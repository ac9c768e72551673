# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules: `cmake --install <build> --prefix <folder>` (or
# `make install APP=<folder>`) lays out a complete application folder there:
# the programs that this tree builds, the DOSBox bridge as `dosbox` and its
# message box program `kelmor-message`, TEST.FUJ,
# SAVEGAME, the folders the kit's installation copies into, the icons, and a
# desktop entry for each program in the user's menu, and records in the folder
# what it brought (InstallRecord.cmake), which is what the uninstall removes.
# The work is done at install time by InstallApplicationFolder.cmake; this
# file tells it what there is.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/share/kelmor"
      CACHE PATH "The application folder that the install lays out" FORCE)
endif()

# program | its icon in art/ | its window's class, which its menu entry
# names as StartupWMClass | what its menu entry says about it [| its name in
# the menu, where it is not the program title of cmake/ProgramIdentity.cmake:
# the names README and the Windows Start menu give the programs, while the
# windows and version texts keep the titles]
set(kelmor_menu_programs
    "KELMOR|kelmor_icon|Kelmor|Play Kelmor from its CD under DOSBox|Kelmor"
    "_KelmorPlix|kelplix_icon|Kelmor Plix|Build Kelmor levels with the Kelmor Plix kit|Kelmor Plix"
    "_Mapper|mapper_icon|Kelmor Plix Mapper|Open the map editor of the Kelmor Plix kit|Kelmor Plix Mapper"
    "_Configuration|configuration_icon|Kelmor Plix Configuration|Choose the display and CPU speed of the Kelmor Plix kit"
    "kelmor-drives|drives_icon|Kelmor Drives|Give the Kelmor kit's drive letters their CDs and CD images|Kelmor Drives")

# Programs are installed stripped: their symbols are many times their code.
# KELMOR_KIT_PROGRAMS names every program an install can bring, built here
# or not: the uninstall removes files of those names only.
set(kelmor_install_facts "set(KELMOR_APP_PROGRAMS \"\")\nset(KELMOR_KIT_PROGRAMS \"\")\nset(KELMOR_STRIP \"${CMAKE_STRIP}\")\n")
foreach(entry IN LISTS kelmor_menu_programs)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 program)
  list(GET parts 1 icon)
  list(GET parts 2 window_class)
  list(GET parts 3 comment)
  string(APPEND kelmor_install_facts "list(APPEND KELMOR_KIT_PROGRAMS \"${program}\")\n")
  if(NOT TARGET ${program})
    continue()
  endif()
  list(LENGTH parts fields)
  # Its menu name, else its own title, so that menu and window agree.
  if(fields GREATER 4)
    list(GET parts 4 menu_name)
  elseif(DEFINED KELMOR_PROGRAM_${program}_TITLE)
    set(menu_name "${KELMOR_PROGRAM_${program}_TITLE}")
  else()
    message(FATAL_ERROR "no title for ${program} in cmake/ProgramIdentity.cmake")
  endif()
  string(APPEND kelmor_install_facts
         "list(APPEND KELMOR_APP_PROGRAMS \"${program}\")\n"
         "set(KELMOR_APP_${program}_FILE \"$<TARGET_FILE:${program}>\")\n"
         "set(KELMOR_APP_${program}_MENU_NAME \"${menu_name}\")\n"
         "set(KELMOR_APP_${program}_ICON \"${PROJECT_SOURCE_DIR}/art/${icon}.png\")\n"
         "set(KELMOR_APP_${program}_ICON_NAME \"${icon}\")\n"
         "set(KELMOR_APP_${program}_CLASS \"${window_class}\")\n"
         "set(KELMOR_APP_${program}_COMMENT \"${comment}\")\n")
endforeach()
string(APPEND kelmor_install_facts "set(KELMOR_ART \"${PROJECT_SOURCE_DIR}/art\")\n")
# Where the install makes its files ready before it writes any into the folder.
string(APPEND kelmor_install_facts "set(KELMOR_STAGING \"${CMAKE_BINARY_DIR}/application_folder_staging\")\n")
if(TARGET dosbox_bridge)
  string(APPEND kelmor_install_facts "set(KELMOR_APP_BRIDGE \"$<TARGET_FILE:dosbox_bridge>\")\n"
                                     "set(KELMOR_APP_BRIDGE_MESSAGE \"$<TARGET_FILE:bridge_message>\")\n")
endif()

file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/application_folder_facts.cmake
     CONTENT "${kelmor_install_facts}")
install(CODE "include(\"${CMAKE_BINARY_DIR}/application_folder_facts.cmake\")
include(\"${PROJECT_SOURCE_DIR}/cmake/InstallApplicationFolder.cmake\")")

# `make uninstall`: cmake -DKELMOR_APP_FOLDER=<folder> -P <build>/uninstall_application_folder.cmake
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/uninstall_application_folder.cmake
     CONTENT "include(\"${CMAKE_BINARY_DIR}/application_folder_facts.cmake\")
include(\"${PROJECT_SOURCE_DIR}/cmake/UninstallApplicationFolder.cmake\")
")
