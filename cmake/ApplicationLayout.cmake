# SPDX-License-Identifier: GPL-3.0-or-later
# What every application folder holds besides the programs, on every host:
# the save folder SAVEGAME, the folders the kit's installation copies into
# (it creates none itself), the files the kit launcher copies, and the
# template of the installation marker.
# Included by the Linux install (InstallApplicationFolder.cmake) and by the
# Windows release (Win32Release.cmake).

# Folders below the application folder, each after the folder that holds it.
set(KELMOR_APP_FOLDERS SAVEGAME DATA PCMAP PCMAP/AL PCMAP/FR PCMAP/USA vantrel)
foreach(world CAKE CAVE IMAGE JUNGLE MOUNTAIN MUSIC)
  list(APPEND KELMOR_APP_FOLDERS ${world})
  foreach(map 101 102 103 104 105)
    list(APPEND KELMOR_APP_FOLDERS ${world}/MAP_${map})
  endforeach()
endforeach()

# The user's saved games: no uninstall removes it.
set(KELMOR_SAVE_FOLDER SAVEGAME)

# The files the kit launcher copies from the kit's CD into the folder itself,
# besides the layout's folders (kit_launcher/kit_manifest.cpp), and the
# marker it writes: the uninstalls name them as the kit's data.
set(KELMOR_KIT_DATA_FILES HMIDET.386 HMIDRV.386 KELKIT.EXE MAPPER.EXE THEST.FUJ)

# TEST.FUJ, which the kit launcher copies onto THEST.FUJ: one line, CR LF.
set(KELMOR_MARKER_TEMPLATE_NAME TEST.FUJ)
set(KELMOR_MARKER_TEMPLATE_TEXT "KELPLIX\r\n")

# The game's settings: the configuration tool started with this argument
# shows its form for "kel1" (core/settings_contract.hpp) under the title
# KELMOR_GAME_CONFIGURATION_TITLE, and the menus offer it under that name.
set(KELMOR_GAME_CONFIGURATION_ARGUMENT kel1)
include(${CMAKE_CURRENT_LIST_DIR}/ProgramIdentity.cmake)
