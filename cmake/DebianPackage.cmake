# SPDX-License-Identifier: GPL-3.0-or-later
# What the Debian package (debian/, `make deb`) takes from this build: the
# programs' version, in package_version.txt, which debian/rules holds against
# debian/changelog, and the script that lays out the package's files:
#   cmake -DKELMOR_PACKAGE_ROOT=<root> -P <build>/install_package.cmake
# (InstallPackage.cmake). Included after ApplicationFolder.cmake, whose facts
# it shares.

# The one place the package reads the programs' version.
set(KELMOR_PACKAGE_VERSION "${PROJECT_VERSION}")

file(WRITE ${CMAKE_BINARY_DIR}/package_version.txt "${KELMOR_PACKAGE_VERSION}\n")
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/install_package.cmake
     CONTENT "include(\"${CMAKE_BINARY_DIR}/application_folder_facts.cmake\")
include(\"${PROJECT_SOURCE_DIR}/cmake/InstallPackage.cmake\")
")
