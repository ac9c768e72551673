# SPDX-License-Identifier: GPL-3.0-or-later
# Lays out the Debian package's files below KELMOR_PACKAGE_ROOT (run through
# <build>/install_package.cmake, DebianPackage.cmake):
#   usr/lib/kelmor-kit/              the programs, the bridge as `dosbox`,
#                                    kelmor-message, TEST.FUJ and the layout
#                                    file kelmor-package-layout
#   usr/share/applications/          a menu entry for each program
#   usr/share/icons/hicolor/         their icons
# The programs find the layout file beside them and serve each user's own
# application folder, which they lay out as it says
# (core/posix_files/posix_package_folder.hpp). The menu entries have the ids of
# the entries `make install` writes into a user's menu, so that a user's
# own install hides the package's entries for that user alone.

cmake_policy(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/MenuEntries.cmake")

set(root "${KELMOR_PACKAGE_ROOT}")
if(NOT IS_ABSOLUTE "${root}")
  message(FATAL_ERROR "KELMOR_PACKAGE_ROOT must be an absolute path, not '${root}'.")
endif()
set(package_folder /usr/lib/kelmor-kit)
set(lib "${root}${package_folder}")
# Below the home folder: the folder `make install` lays out by default.
set(user_folder .local/share/kelmor)

file(MAKE_DIRECTORY "${lib}" "${root}/usr/share/applications")
set(links "")
# Debian's tools strip the programs (and keep their symbols apart).
function(kelmor_package_program source name)
  file(COPY_FILE "${source}" "${lib}/${name}")
  file(CHMOD "${lib}/${name}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(links "${links}link ${name}\n" PARENT_SCOPE)
endfunction()
foreach(program IN LISTS KELMOR_APP_PROGRAMS)
  kelmor_package_program("${KELMOR_APP_${program}_FILE}" ${program})
endforeach()
kelmor_package_program("${KELMOR_APP_BRIDGE}" dosbox)
kelmor_package_program("${KELMOR_APP_BRIDGE_MESSAGE}" kelmor-message)
file(WRITE "${lib}/${KELMOR_MARKER_TEMPLATE_NAME}" "${KELMOR_MARKER_TEMPLATE_TEXT}")
string(APPEND links "link ${KELMOR_MARKER_TEMPLATE_NAME}\n")

set(layout "# The Kelmor kit's package: each user's application folder, below the home
# folder, and what its programs make there when it lacks it.\nhome ${user_folder}\n")
foreach(folder IN LISTS KELMOR_APP_FOLDERS)
  string(APPEND layout "folder ${folder}\n")
endforeach()
file(WRITE "${lib}/kelmor-package-layout" "${layout}${links}")

set(icons "")
foreach(id IN LISTS KELMOR_MENU_ENTRIES)
  set(program "${package_folder}/${${id}_PROGRAM}")
  string(STRIP "${program} ${${id}_ARGUMENT}" exec)
  kelmor_write_desktop_entry("${root}/usr/share/applications/${id}.desktop" ${id}
                             "${${id}_NAME}" "${exec}" "${program}" "" "${${id}_ICON}")
  if("${${id}_ICON}" IN_LIST icons)
    continue()
  endif()
  list(APPEND icons "${${id}_ICON}")
  foreach(size IN LISTS KELMOR_ICON_SIZES)
    set(apps "${root}/usr/share/icons/hicolor/${size}x${size}/apps")
    file(MAKE_DIRECTORY "${apps}")
    file(COPY_FILE "${KELMOR_ART}/icons/${size}x${size}/${${id}_ART}.png"
                   "${apps}/${${id}_ICON}.png")
  endforeach()
endforeach()
