# The Debian package, made by CPack from the install rules (scripts/package.sh runs it):
#   cpack --config build/CPackConfig.cmake -G DEB   ->  tarvo_<version>_<arch>.deb
# The package installs to /usr whatever prefix the build was configured with (/usr/local for a
# plain `cmake --install`), so one Release build serves both.
set(CPACK_GENERATOR DEB)
# cpack installs what is already built instead of building everything first, the tests too:
# scripts/package.sh builds the programs and their data (`cmake --install` never builds anyway).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PACKAGE_NAME tarvo)
set(CPACK_PACKAGE_VENDOR "Oskavel")
set(CPACK_PACKAGE_CONTACT "J. Tarvonen <author@oskavel.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://oskavel.example/tarvo")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped programs, as Debian ships them (cmake/TarvoPackageStrip.cmake).
set(CPACK_TARVO_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_TARVO_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/TarvoPackageStrip.cmake)
# The package lands in the build folder: build/tarvo_<version>_<arch>.deb.
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "disk space analyser with a size list, a bar chart and a 3D pie")
# Paragraphs are separated by an empty line; CPack turns them into the control file's " ." lines.
set(CPACK_PACKAGE_DESCRIPTION "\
Tarvo shows where the space on a disk goes. Pick a folder or a mounted
volume and run an analysis: Tarvo adds up everything below each immediate
subfolder, adds one entry for the files lying in the folder itself and, on
request, one for the free space of the volume.

The result is shown three ways: a size list sortable by name, size or path,
a bar chart that can be zoomed and panned, and a pie chart drawn flat or in
3D that can be set rotating. A click on a bar or a slice analyses that
subfolder, a right click opens it in the file manager. A folder tree and a
volume selector move through the file system; the visible chart can be
printed or saved as a Windows metafile, PNG, SVG or PDF.

The package also holds tarvo-scan, the same scanner on the command line,
which writes its report as aligned text, CSV or JSON.
")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the programs (dpkg-shlibdeps); xdg-open is run, not linked, to open a
# folder in the file manager.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
# 0644 for the control files and 0755 for the folders, whatever the umask of the build.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
