# Installing on a Linux desktop (`cmake --install`), and the Debian package
# that CPack makes from the same rules (`cpack -G DEB`).
include(GNUInstallDirs)

set(QUILLMAR_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/quillmar)

install(TARGETS quillmar-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(TARGET quillmar)
  # The launcher finds help.htm and CommSet.ini from where it is installed.
  file(RELATIVE_PATH QUILLMAR_SHARE_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
       ${CMAKE_INSTALL_PREFIX}/${QUILLMAR_SHARE_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/app/quillmar-launch.in
                 ${PROJECT_BINARY_DIR}/quillmar-launch @ONLY)

  install(TARGETS quillmar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(PROGRAMS ${PROJECT_BINARY_DIR}/quillmar-launch DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The copies that the launcher puts into each user's working directory.
  install(FILES ${PROJECT_SOURCE_DIR}/help/help.htm ${QUILLMAR_RUN_DIR}/CommSet.ini
          DESTINATION ${QUILLMAR_SHARE_DIR})
  install(FILES ${PROJECT_SOURCE_DIR}/app/quillmar.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY ${QUILLMAR_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/examples/traverse-sdr33.sdr
              ${PROJECT_SOURCE_DIR}/examples/level-and-triangulation-sdr20.sdr
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmar/examples)

set(QUILLMAR_PACKAGE_MAINTAINER "Quillmar developers <developers@quillmar.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmar)
set(CPACK_PACKAGE_VENDOR Quillmar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SDR field book editor for land surveyors")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillmar reads the field book of an electronic total station or level in the\n"
    "SDR text format (SDR2x and SDR3x), shows every record as a line of readable\n"
    "Russian text, lets you edit, add and delete records, keeps them in its own\n"
    "record file, exports them as text, semicolon tables or SDR, and exchanges\n"
    "field books with the instrument over a serial port. quillmar-cli does the\n"
    "conversions and transfers from scripts.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLMAR_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debian 12's packages of the libraries the programs are linked with, at
# least at the versions built against (tests/install checks the list).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.36), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)"
    "libqt6core6 (>= 6.4.0), libqt6gui6 (>= 6.4.0), libqt6widgets6 (>= 6.4.0)"
    "libqt6serialport6 (>= 6.4.0), libqt6svg6 (>= 6.4.0)")
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS ${CPACK_DEBIAN_PACKAGE_DEPENDS})

include(CPack)
