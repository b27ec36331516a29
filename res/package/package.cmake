# What `make package` ships: on Linux the Debian package (CPack, from this
# tree's install rules), on Windows the zip of the stripped program and its
# readme. Each lands in the packages/ folder of the build tree that makes it;
# their names are spelled here only (tests/package reads them too).
set(CHRONOLIST_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packages)
set(CHRONOLIST_DEB_NAME chronolist_${PROJECT_VERSION}_amd64.deb)
set(CHRONOLIST_WINDOWS_ZIP_NAME Chronolist-${PROJECT_VERSION}-win64.zip)
# The project's public identity. It has no web address of its own yet: these
# placeholders (a reserved domain) are what the metadata says until it does.
set(CHRONOLIST_APP_ID org.example.Chronolist CACHE STRING "AppStream component id")
set(CHRONOLIST_WEB_HOME https://chronolist.example.org
  CACHE STRING "Home page; the AppStream screenshots are under <home>/screenshots/")
set(CHRONOLIST_MAINTAINER "Chronolist maintainers <maintainers@chronolist.example.org>"
  CACHE STRING "The Debian package's maintainer")

set(chronolist_package_src ${CMAKE_CURRENT_LIST_DIR})
set(chronolist_package_out ${CMAKE_BINARY_DIR}/package)

if(WIN32)
  set(stage ${chronolist_package_out}/zip)
  set(CHRONOLIST_WINDOWS_ZIP ${CHRONOLIST_PACKAGE_DIR}/${CHRONOLIST_WINDOWS_ZIP_NAME})
  # The readme is committed as Windows Notepad wants it: UTF-8 with a BOM, CRLF.
  configure_file(${chronolist_package_src}/windows-readme.txt.in
    ${chronolist_package_out}/windows-readme.txt @ONLY NEWLINE_STYLE CRLF)
  add_custom_target(windows_zip
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage} ${CHRONOLIST_PACKAGE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${chronolist_package_out}/windows-readme.txt
      ${stage}/Chronolist-README.txt
    COMMAND ${CMAKE_COMMAND} -DZIP=${CHRONOLIST_WINDOWS_ZIP} -DSTAGE=${stage}
      -DPROGRAM=$<TARGET_FILE:chronolist> -DSTRIP=${CMAKE_STRIP} -DPYTHON=${CHRONOLIST_PYTHON3}
      -P ${chronolist_package_src}/windows_zip.cmake
    DEPENDS chronolist ${chronolist_package_out}/windows-readme.txt
    COMMENT "Writing ${CHRONOLIST_WINDOWS_ZIP}"
    VERBATIM)
  return()
endif()

include(GNUInstallDirs)

configure_file(${chronolist_package_src}/chronolist.metainfo.xml.in
  ${chronolist_package_out}/${CHRONOLIST_APP_ID}.metainfo.xml @ONLY)
install(FILES ${chronolist_package_out}/${CHRONOLIST_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian wants the manual page and the changelog compressed without a time
# stamp, so that the same sources give the same package.
configure_file(${chronolist_package_src}/changelog.in ${chronolist_package_out}/changelog @ONLY)
configure_file(${chronolist_package_src}/chronolist.1.in ${chronolist_package_out}/chronolist.1 @ONLY)
add_custom_command(
  OUTPUT ${chronolist_package_out}/chronolist.1.gz ${chronolist_package_out}/changelog.gz
  COMMAND gzip -9nkf ${chronolist_package_out}/chronolist.1 ${chronolist_package_out}/changelog
  DEPENDS ${chronolist_package_out}/chronolist.1 ${chronolist_package_out}/changelog
  VERBATIM)
add_custom_target(chronolist_package_docs ALL
  DEPENDS ${chronolist_package_out}/chronolist.1.gz ${chronolist_package_out}/changelog.gz)
install(FILES ${chronolist_package_out}/chronolist.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${chronolist_package_src}/copyright ${chronolist_package_out}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/chronolist)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chronolist)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Chronolist)
set(CPACK_PACKAGE_CONTACT ${CHRONOLIST_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "writes a game's replay time list as a web page")
# Lines as they go into the control file; CPack indents them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Chronolist sits beside a game that records a replay for each room. Started"
  "in the folder that holds the game's replay folder, it reads the replays of"
  "rooms 1 to 199 and writes replistEX.html: a table of the Extra-mode rooms"
  "111 to 151 with each room's run time in minutes, seconds and frames."
  ""
  "It shows one small Japanese dialog: OK writes the page, Cancel leaves every"
  "file as it was. The page replaces the old one only once it is complete.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CHRONOLIST_PACKAGE_DIR})
set(CPACK_PACKAGE_DIRECTORY ${chronolist_package_out}/cpack)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME ${CHRONOLIST_DEB_NAME})
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CHRONOLIST_MAINTAINER})
# A tool beside a game, not a game: lintian wants games in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CHRONOLIST_WEB_HOME})
# Depends from the libraries the program links (dpkg-shlibdeps), and a
# Japanese face: without one every character of the dialog is a box. The
# dialog font's metric-compatible face comes first.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-japanese-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PROJECT_CONFIG_FILE ${chronolist_package_src}/cpack_project.cmake)
include(CPack)

# `make package` checks the .deb as Debian's archive would, once cpack has
# written it.
add_custom_target(lint_deb
  COMMAND lintian --fail-on error --display-info ${CHRONOLIST_PACKAGE_DIR}/${CHRONOLIST_DEB_NAME}
  COMMENT "Checking ${CHRONOLIST_DEB_NAME} with lintian"
  VERBATIM)
