# Installing Korvane as a desktop program, and its Debian package.
#
# `cmake --install` lays the files out by the GNU and freedesktop conventions:
# paths from GNUInstallDirs, the menu entry, icon and metainfo named by the
# application id. `cpack -G DEB` (or the `package` target) wraps the same files
# in a .deb whose library dependencies dpkg-shlibdeps reads from the program.
# Included from the top-level CMakeLists.txt once the program's target exists.
include(GNUInstallDirs)

if(NOT KORVANE_BUILD_UI)
  return()  # no program, nothing to install
endif()

set(KORVANE_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
# Debian keeps a package's documents under its own name, whatever the project's.
set(KORVANE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/korvane)
# Programs that korvane runs itself live beside it, off the user's path; each
# is one line:  install(TARGETS <target> DESTINATION ${KORVANE_INSTALL_HELPERDIR})
set(KORVANE_INSTALL_HELPERDIR ${CMAKE_INSTALL_LIBEXECDIR}/korvane)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS korvane DESTINATION ${CMAKE_INSTALL_BINDIR})
# Reads real Jet files for the program, in a process of its own; the program
# looks for it in ../libexec/korvane/ from its own folder.
install(TARGETS korvane-jet-import DESTINATION ${KORVANE_INSTALL_HELPERDIR})
install(FILES ${KORVANE_PACKAGING_DIR}/${KORVANE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${KORVANE_PACKAGING_DIR}/${KORVANE_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${KORVANE_PACKAGING_DIR}/${KORVANE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${KORVANE_PACKAGING_DIR}/copyright DESTINATION ${KORVANE_INSTALL_DOCDIR})

# The manual page and the changelog go compressed, as Debian wants them: gzip
# at its best, without the name and time that would make each build differ.
set(korvane_compressed)
foreach(document korvane.1 changelog)
  set(plain ${CMAKE_CURRENT_BINARY_DIR}/packaging/${document})
  add_custom_command(OUTPUT ${plain}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${KORVANE_PACKAGING_DIR}/${document} ${plain}
    COMMAND gzip -9nf ${plain}
    DEPENDS ${KORVANE_PACKAGING_DIR}/${document}
    VERBATIM)
  list(APPEND korvane_compressed ${plain}.gz)
endforeach()
add_custom_target(korvane_packaging_documents ALL DEPENDS ${korvane_compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/korvane.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${KORVANE_INSTALL_DOCDIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_CONTACT "The Korvane developers <maintainers@korvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "bring a lab's measurement database up to the current schema")
set(CPACK_PACKAGE_DESCRIPTION
  "Korvane updates the database of a laboratory measurement application, kept
in a Wine prefix (WINEPREFIX, or ~/.wine). It copies the template database to
a working copy, pours the lab's samples, experiments, measurements, materials
and users into it, lets the user clean up, then commits, keeping a timestamped
backup of the old database, or abandons. The old database is never edited in
place.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://korvane.org/)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Library dependencies come from the program and its helper (libmdb and
# libseccomp are the helper's). Qt loads its platform plugins (the X11 and Wayland connections)
# at run time, where no library dependency can see them; without them the
# window cannot open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
