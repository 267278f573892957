# Where `cmake --install` puts things (the freedesktop places below the prefix) and how CPack
# turns that into a Debian package. Included last, once every program target exists.
include(GNUInstallDirs)

set(QX_APP_ID org.qxeditor.QxEditor)
set(QX_HOMEPAGE_URL "https://qxeditor.org" CACHE STRING "The project's home page, for the package and the AppStream data")
set(QX_SCREENSHOT_URL "${QX_HOMEPAGE_URL}/screenshots" CACHE STRING
    "Where the published copies of docs/screenshots/*.png are found")
set(QX_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX expression of the project's licence")

foreach(program qx-editor qxctl qx-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(res ${PROJECT_SOURCE_DIR}/res)
install(FILES ${res}/${QX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${res}/icons/${QX_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${res}/icons/hicolor/${size}x${size}/${QX_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
configure_file(${res}/${QX_APP_ID}.metainfo.xml.in ${PROJECT_BINARY_DIR}/${QX_APP_ID}.metainfo.xml
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${QX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The Debian package: `scripts/package` builds it. Library dependencies come from
# dpkg-shlibdeps; serial ports need the user in the dialout group, which the package leaves
# to the administrator.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qx-editor)
set(CPACK_PACKAGE_VENDOR "The QX Editor developers")
set(CPACK_PACKAGE_CONTACT "QX Editor developers <maintainers@qxeditor.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the QX karaoke vocal and audio processor")
set(CPACK_PACKAGE_DESCRIPTION
    "QX Editor finds a QX karaoke processor on a serial line and sets every parameter of its\n"
    "audio chain. The package holds the editor, the command-line tool qxctl and the virtual\n"
    "processor qx-sim.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QX_HOMEPAGE_URL})
set(CPACK_STRIP_FILES ON)
include(CPack)
