# The application icon in every form the program ships, drawn at build time by
# tools/make_app_icon.py from its one drawing: app_icon.ico for the Windows
# resource script; on Linux the PNGs, compiled into the program as a GResource
# bundle and installed with the SVG as the desktop's theme icons.
# The script needs only Python's standard library; Debian's python3 first.
find_program(CHRONOLIST_PYTHON3 python3 HINTS /usr/bin REQUIRED)

# Cached so that app/ (the resource script) and the tests find them.
set(CHRONOLIST_ICON_SIZES 16 24 32 48 64 128 256 CACHE INTERNAL "")
set(CHRONOLIST_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons CACHE INTERNAL "")
set(chronolist_icon_pngs "")
foreach(size IN LISTS CHRONOLIST_ICON_SIZES)
  list(APPEND chronolist_icon_pngs ${CHRONOLIST_ICON_DIR}/chronolist-${size}.png)
endforeach()
set(CHRONOLIST_APP_ICON_ICO ${CHRONOLIST_ICON_DIR}/app_icon.ico CACHE INTERNAL "")

add_custom_command(
  OUTPUT ${CHRONOLIST_APP_ICON_ICO} ${chronolist_icon_pngs} ${CHRONOLIST_ICON_DIR}/chronolist.svg
  # -B: no __pycache__ in the source tree for the modules it imports.
  COMMAND ${CHRONOLIST_PYTHON3} -B ${CMAKE_CURRENT_LIST_DIR}/tools/make_app_icon.py
    ${CHRONOLIST_ICON_DIR}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tools/make_app_icon.py ${CMAKE_CURRENT_LIST_DIR}/tools/icon_files.py
    ${CMAKE_CURRENT_LIST_DIR}/tools/icon_shapes.py
  COMMENT "Drawing the application icon"
  VERBATIM)
add_custom_target(chronolist_icons
  DEPENDS ${CHRONOLIST_APP_ICON_ICO} ${chronolist_icon_pngs} ${CHRONOLIST_ICON_DIR}/chronolist.svg)

if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
  find_program(CHRONOLIST_GLIB_COMPILE_RESOURCES glib-compile-resources REQUIRED)

  set(CHRONOLIST_ICON_BUNDLE ${CMAKE_CURRENT_BINARY_DIR}/chronolist_icons_bundle.c)
  add_custom_command(
    OUTPUT ${CHRONOLIST_ICON_BUNDLE}
    COMMAND ${CHRONOLIST_GLIB_COMPILE_RESOURCES} --generate-source
      --sourcedir=${CHRONOLIST_ICON_DIR} --target=${CHRONOLIST_ICON_BUNDLE}
      --c-name=chronolist_icons ${CMAKE_CURRENT_LIST_DIR}/icons.gresource.xml
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/icons.gresource.xml ${chronolist_icon_pngs}
    COMMENT "Bundling the icon images"
    VERBATIM)
  # Generated code, not ours to hold to -Werror.
  set_source_files_properties(${CHRONOLIST_ICON_BUNDLE} PROPERTIES COMPILE_OPTIONS -w)

  foreach(size IN LISTS CHRONOLIST_ICON_SIZES)
    install(FILES ${CHRONOLIST_ICON_DIR}/chronolist-${size}.png
      DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME chronolist.png)
  endforeach()
  install(FILES ${CHRONOLIST_ICON_DIR}/chronolist.svg DESTINATION share/icons/hicolor/scalable/apps)
endif()
