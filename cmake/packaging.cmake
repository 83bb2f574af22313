# Install rules and packages. `cmake --install` puts both programs in place,
# natively with their man pages and the README; CPack makes a ZIP of the
# Windows build (the two .exe files and the README) and a .deb and a .tar.gz
# of the native build. scripts/make-packages.sh makes all three.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "${TARNWICK_MAKER_NAME}")
set(CPACK_PACKAGE_CONTACT "${TARNWICK_MAKER_NAME}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "finds the unused libraries of a Windows installation and moves them into a backup folder")
set(CPACK_PACKAGE_DESCRIPTION "tarnwick lists every library of a Windows installation (a Wine prefix or a \
mounted drive) with the file that uses it, and moves the unused ones aside; exeprobe classifies one \
executable or registry file and prints the modules it imports.")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  install(TARGETS tarnwick exeprobe RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  install(TARGETS tarnwick exeprobe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The man pages take the version from base/version.h, as the programs do.
  set(TARNWICK_VERSION_TEXT "${TARNWICK_VERSION_MAJOR}.0${TARNWICK_VERSION_MINOR}")
  foreach(page tarnwick exeprobe)
    configure_file(docs/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  endforeach()
  install(FILES ${CMAKE_BINARY_DIR}/man/tarnwick.1 ${CMAKE_BINARY_DIR}/man/exeprobe.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The C and C++ run-time libraries the programs link, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wine)
endif()

include(CPack)
