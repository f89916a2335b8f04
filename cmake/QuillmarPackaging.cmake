# SPDX-License-Identifier: GPL-3.0-or-later
# Installing on a Linux desktop (`cmake --install`), and the Debian package
# that CPack makes from the same rules (`cpack -G DEB`).
include(GNUInstallDirs)

set(QUILLMAR_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/quillmar)
set(QUILLMAR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillmar)
set(QUILLMAR_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

set(QUILLMAR_PACKAGE_MAINTAINER "Quillmar developers <developers@quillmar.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
set(QUILLMAR_HOMEPAGE "https://quillmar.invalid"
    CACHE STRING "The project's web page; the AppStream screenshot is its /screenshot.png (help/screenshot.png)")

# Debian wants manual pages and the changelog compressed the most, without a
# time stamp in the gzip header.
find_program(QUILLMAR_GZIP gzip REQUIRED)
set(QUILLMAR_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
set(quillmar_gzipped "")
function(quillmar_configure_gzipped source name)
  configure_file(${source} ${QUILLMAR_PACKAGING_OUT}/${name} @ONLY)
  add_custom_command(
    OUTPUT ${QUILLMAR_PACKAGING_OUT}/${name}.gz
    COMMAND ${QUILLMAR_GZIP} -9nkf ${name}
    DEPENDS ${QUILLMAR_PACKAGING_OUT}/${name}
    WORKING_DIRECTORY ${QUILLMAR_PACKAGING_OUT}
    VERBATIM)
  set(quillmar_gzipped ${quillmar_gzipped} ${QUILLMAR_PACKAGING_OUT}/${name}.gz PARENT_SCOPE)
endfunction()

install(TARGETS quillmar-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${QUILLMAR_PACKAGING_DIR}/quillmar-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME quillmar-cli)
quillmar_configure_gzipped(${QUILLMAR_PACKAGING_DIR}/man/quillmar-cli.1.in quillmar-cli.1)

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
  # A file manager's double click on a record file or a field book.
  install(FILES ${QUILLMAR_PACKAGING_DIR}/quillmar-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quillmar.xml)
  set(QUILLMAR_APPSTREAM_ID invalid.quillmar.Quillmar)
  configure_file(${QUILLMAR_PACKAGING_DIR}/quillmar.metainfo.xml.in
                 ${QUILLMAR_PACKAGING_OUT}/${QUILLMAR_APPSTREAM_ID}.metainfo.xml @ONLY)
  install(FILES ${QUILLMAR_PACKAGING_OUT}/${QUILLMAR_APPSTREAM_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  quillmar_configure_gzipped(${QUILLMAR_PACKAGING_DIR}/man/quillmar.1.in quillmar.1)
  quillmar_configure_gzipped(${QUILLMAR_PACKAGING_DIR}/man/quillmar-launch.1.in quillmar-launch.1)
endif()

quillmar_configure_gzipped(${QUILLMAR_PACKAGING_DIR}/changelog.in changelog)
add_custom_target(quillmar_gzipped_docs ALL DEPENDS ${quillmar_gzipped})
# Only an unoptimised build lacks fortified calls; elsewhere the override
# would go unused.
install(FILES ${QUILLMAR_PACKAGING_DIR}/quillmar.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quillmar
        CONFIGURATIONS Debug)
install(FILES ${QUILLMAR_PACKAGING_OUT}/changelog.gz ${QUILLMAR_PACKAGING_DIR}/copyright
        DESTINATION ${QUILLMAR_DOC_DIR})
foreach(page IN LISTS quillmar_gzipped)
  if(page MATCHES "[.]1[.]gz$")
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/examples/traverse-sdr33.sdr
              ${PROJECT_SOURCE_DIR}/examples/level-and-triangulation-sdr20.sdr
        DESTINATION ${QUILLMAR_DOC_DIR}/examples)

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
    "libqt6serialport6 (>= 6.4.0), libqt6svg6 (>= 6.4.0)"
    "libxcb1 (>= 1.15), libxcb-xinput0 (>= 1.15)"
    # CAD/GIS export: GDAL writes the files, PROJ (with its EPSG database) the coordinate systems.
    "libgdal32 (>= 3.6.2), libproj25 (>= 9.1.1)"
    # The toolkit's own texts (file dialogs, standard buttons) in the user's language.
    "qt6-translations-l10n")
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS ${CPACK_DEBIAN_PACKAGE_DEPENDS})

include(CPack)
