# What an installed copy carries besides the programs and the data set: the menu entry with
# its icon, the AppStream metainfo, a manual page for each program and Debian's documentation
# files; and the Debian package CPack makes of the installed tree (scripts/package).

set(QD_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(QD_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
# The name the menu entry and the metainfo share, as software centres pair them.
set(QD_APP_ID org.quelldrift.demo)
set(QD_HOMEPAGE "https://quelldrift.org" CACHE STRING
  "The project's web site, named in the metainfo; its screenshots/ folder serves the screenshot")
# The screenshot software centres show, from docs/screenshots/; scripts/web puts it on the site.
set(QD_SCREENSHOT quelldrift-30000ms.png)

# The newest entry of packaging/changelog is the release: its version must be the project's,
# and it gives the release date and the package's maintainer.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QD_PACKAGING_DIR}/changelog)
file(STRINGS ${QD_PACKAGING_DIR}/changelog QD_CHANGELOG)
list(GET QD_CHANGELOG 0 QD_CHANGELOG_TITLE)
if(NOT QD_CHANGELOG_TITLE MATCHES "^quelldrift \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: its newest entry (${QD_CHANGELOG_TITLE}) is not for version ${PROJECT_VERSION}")
endif()
set(QD_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
foreach(line IN LISTS QD_CHANGELOG)
  if(line MATCHES "^ -- (.+ <[^>]+>)  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(QD_MAINTAINER "${CMAKE_MATCH_1}")
    list(FIND QD_MONTHS ${CMAKE_MATCH_3} month)
    math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
    if(month LESS 10)
      set(month 0${month})
    endif()
    set(QD_RELEASE_DATE "${CMAKE_MATCH_4}-${month}-${CMAKE_MATCH_2}")
    break()
  endif()
endforeach()
if(NOT QD_RELEASE_DATE)
  message(FATAL_ERROR "packaging/changelog: the newest entry has no \" -- NAME <MAIL>  DATE\" line")
endif()

# Debian keeps documentation and manual pages compressed, without a time stamp in the file.
function(qd_gzip input output)
  execute_process(COMMAND gzip -9nc INPUT_FILE ${input} OUTPUT_FILE ${output}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${input}")
  endif()
endfunction()

# The menu entry names the windowed program by its installed path, written at install time
# straight into the destination, so that `cmake --install --prefix` is honoured and two
# installs at once never share a file.
install(CODE "
  set(QD_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/demo-windowed\")
  set(entry \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/${QD_APP_ID}.desktop\")
  message(STATUS \"Installing: \$ENV{DESTDIR}\${entry}\")
  configure_file(${QD_PACKAGING_DIR}/${QD_APP_ID}.desktop.in \$ENV{DESTDIR}\${entry} @ONLY NO_SOURCE_PERMISSIONS)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \${entry})")

configure_file(${QD_PACKAGING_DIR}/${QD_APP_ID}.metainfo.xml.in
  ${QD_PACKAGING_OUT}/${QD_APP_ID}.metainfo.xml @ONLY)
install(FILES ${QD_PACKAGING_OUT}/${QD_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages: the demo programs in section 6 (games and demos), the tools in section 1.
foreach(page demo-windowed.6 demo-fullscreen.6 demo-capture.1 make-data.1)
  string(REGEX REPLACE ".*\\." "" section ${page})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QD_PACKAGING_DIR}/man/${page}.in)
  configure_file(${QD_PACKAGING_DIR}/man/${page}.in ${QD_PACKAGING_OUT}/man/${page} @ONLY)
  qd_gzip(${QD_PACKAGING_OUT}/man/${page} ${QD_PACKAGING_OUT}/man/${page}.gz)
  install(FILES ${QD_PACKAGING_OUT}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

set(QD_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quelldrift)
qd_gzip(${QD_PACKAGING_DIR}/changelog ${QD_PACKAGING_OUT}/changelog.gz)
install(FILES ${QD_PACKAGING_DIR}/copyright ${QD_PACKAGING_OUT}/changelog.gz
  DESTINATION ${QD_DOC_DIR})

# The icon at every usual size, drawn by the generator's make-icons into icons/hicolor.
if(TARGET make-icons)
  set(QD_ICONS ${CMAKE_BINARY_DIR}/icons)
  qd_made_whole(icons make-icons ${QD_ICONS} hicolor "Drawing the menu entry's icons in icons/hicolor")
  install(DIRECTORY ${QD_ICONS}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# ---- The Debian package ----

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelldrift)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the .quellDrift developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo in nine scenes")
set(CPACK_PACKAGE_DESCRIPTION "\
The demo .quellDrift shows nine scenes of 3D worlds, layered pictures,
lens flares, water and morphing meshes, drawn with OpenGL in step with
one music track. demo-windowed plays it in a window of any size or over
the whole desktop, demo-fullscreen with the display switched to
640 x 480. demo-capture renders it without a window to pictures or a
video, and make-data writes its data set, which the package holds.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QD_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QD_HOMEPAGE}")
# Dependencies from the shared libraries the programs link (dpkg-shlibdeps). Mesa draws for
# them where no other driver is there; ffmpeg makes videos, and the DejaVu fonts are the
# generator's first choice.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri, libegl-mesa0")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ffmpeg, fonts-dejavu-core")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Installed under /usr whatever this build's own prefix, with DESTDIR, so that the menu entry
# names /usr/bin/demo-windowed and not the folder the package is put together in.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
