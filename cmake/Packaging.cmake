# Installs the viewer as a desktop program (binary, menu entry, icons, manual page) and packages
# it as a Debian package with `cpack -G DEB`.
# On Windows: the self-contained .exe and a text on how to run it, in a zip.
include(GNUInstallDirs)

if(WIN32)
  install(TARGETS orvane-viewer RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/platform/windows/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-windows-x64)
  include(CPack)
  return()
endif()

set(ORVANE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS orvane-viewer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORVANE_PACKAGING_DIR}/orvane-viewer.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN ITEMS 128 48)
  install(FILES ${ORVANE_PACKAGING_DIR}/icons/orvane-viewer-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME orvane-viewer.png)
endforeach()

# Debian installs manual pages compressed; -n leaves the name and time out, so the package is the
# same from build to build.
set(ORVANE_MAN_PAGE ${PROJECT_BINARY_DIR}/orvane-viewer.1.gz)
add_custom_command(OUTPUT ${ORVANE_MAN_PAGE}
  COMMAND gzip -9 -n -c ${ORVANE_PACKAGING_DIR}/orvane-viewer.1 > ${ORVANE_MAN_PAGE}
  DEPENDS ${ORVANE_PACKAGING_DIR}/orvane-viewer.1
  VERBATIM)
add_custom_target(orvane-viewer-man ALL DEPENDS ${ORVANE_MAN_PAGE})
install(FILES ${ORVANE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(ORVANE_PACKAGE_MAINTAINER "Orvane viewer maintainers <orvane-viewer@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
# Debian's short description starts without an article.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching viewer for fixed-function OpenGL lighting")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME orvane-viewer)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORVANE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The library packages come from what the binary links against, so they follow the build machine.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "An interactive 3-D viewer that shows a sphere, an open cylinder, a twisted
ladder and a branching tree lit by one positional light. Keys switch between
flat and smooth normals, turn a specular highlight on and off and draw filled
polygons, wireframes or points; mouse drags turn and zoom the model. It is
written to teach lighting, normals, materials and the modelview matrix stack.")

include(CPack)
