# Installation (cmake --install) and the Debian package (cpack -G DEB,
# scripts/package). Included last, so that every program target exists.
include(GNUInstallDirs)

set(TIVOLAN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

foreach(program tivolan tivolan-cli tivolan-sim)
  # tivolan needs TIVOLAN_GUI, tivolan-sim a POSIX system.
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

if(UNIX AND NOT APPLE)
  if(TARGET tivolan)
    install(FILES ${TIVOLAN_PACKAGING_DIR}/tivolan.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The PNGs are made from the SVGs by packaging/icons/render and kept in
    # the tree, so that a build needs no SVG renderer.
    foreach(size 16 32 48 64 128 256)
      install(FILES ${TIVOLAN_PACKAGING_DIR}/icons/png/tivolan-${size}.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tivolan.png)
    endforeach()
    install(FILES ${TIVOLAN_PACKAGING_DIR}/icons/tivolan.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # The ".cf8" file type the desktop entry opens (shared-mime-info picks
    # the file up through its trigger), and the program as software centres
    # list it (AppStream), with the project's version.
    install(FILES ${TIVOLAN_PACKAGING_DIR}/mime/tivolan.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
    set(metainfo ${CMAKE_CURRENT_BINARY_DIR}/packaging/example.stelmark.tivolan.metainfo.xml)
    configure_file(${TIVOLAN_PACKAGING_DIR}/tivolan.metainfo.xml.in ${metainfo} @ONLY)
    install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  endif()
  if(TARGET tivolan-cli)
    install(FILES ${TIVOLAN_PACKAGING_DIR}/completion/tivolan-cli
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  endif()

  # Manual pages carry the project's version; Debian wants them gzip'd
  # without a time stamp (-n) so that rebuilds give the same bytes.
  find_program(TIVOLAN_GZIP gzip REQUIRED)
  set(man_pages)
  foreach(program tivolan tivolan-cli tivolan-sim)
    if(TARGET ${program})
      set(page ${CMAKE_CURRENT_BINARY_DIR}/packaging/man/${program}.1)
      configure_file(${TIVOLAN_PACKAGING_DIR}/man/${program}.1.in ${page} @ONLY)
      add_custom_command(OUTPUT ${page}.gz
                         COMMAND ${TIVOLAN_GZIP} -9nf -k ${page}
                         DEPENDS ${page}
                         COMMENT "Compressing the manual page ${program}.1")
      list(APPEND man_pages ${page}.gz)
    endif()
  endforeach()
  add_custom_target(tivolan_man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # The licence in Debian's machine-readable form and the package's
  # changelog, where Debian looks for them.
  set(changelog ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.Debian)
  configure_file(${TIVOLAN_PACKAGING_DIR}/debian/changelog.in ${changelog} @ONLY)
  add_custom_command(OUTPUT ${changelog}.gz
                     COMMAND ${TIVOLAN_GZIP} -9nf -k ${changelog}
                     DEPENDS ${changelog}
                     COMMENT "Compressing the Debian changelog")
  add_custom_target(tivolan_changelog ALL DEPENDS ${changelog}.gz)
  install(FILES ${TIVOLAN_PACKAGING_DIR}/debian/copyright ${changelog}.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tivolan)
endif()

set(CPACK_PACKAGE_NAME tivolan)
set(CPACK_PACKAGE_VENDOR Stelmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration programmer for Ирт alarm panels")
# Debian wants the long description in lines of at most 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Тиволан reads the configuration of the Ирт-ОП8А and Ирт-ОП8 panels and of the"
       "Ирт-ОП-КС network concentrator over a serial port, edits it on tabbed pages,"
       "writes it back, updates the firmware through the boot loader and keeps"
       "configurations in .cf8 files. tivolan-cli does the same from scripts,"
       "tivolan-sim simulates a device on a pseudo-terminal.")
set(CPACK_PACKAGE_CONTACT Stelmark)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# The build keeps its debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR DEB)
endif()

# tivolan_<version>-<release>_<dpkg architecture>.deb; the release makes it
# a Debian package of the upstream version, with changelog.Debian.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER Stelmark)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from dpkg-shlibdeps: the Qt 6 and C++ runtime packages the
# programs are linked against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Russian texts for the standard buttons and dialogs; the program
# runs without them, in English there.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

include(CPack)
