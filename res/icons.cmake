# The application icon, from the one res/app_icon.ico (made by
# tools/make_app_icon.py): compiled into the program, and on Linux turned into
# the freedesktop theme PNGs and installed with the desktop entry.
include(${PROJECT_SOURCE_DIR}/cmake/EmbedBinary.cmake)

set(chronolist_app_icon_ico ${CMAKE_CURRENT_LIST_DIR}/app_icon.ico)

set(chronolist_app_icon_sources ${CMAKE_CURRENT_LIST_DIR}/app_icon_data.h)
chronolist_embed_binary(chronolist_app_icon_sources ${chronolist_app_icon_ico} res::AppIconIco
  HEADER res/app_icon_data.h)
add_library(chronolist_app_icon_data STATIC ${chronolist_app_icon_sources})
target_include_directories(chronolist_app_icon_data PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(chronolist_app_icon_data PRIVATE chronolist_warnings)

if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(GDK_PIXBUF REQUIRED IMPORTED_TARGET gdk-pixbuf-2.0)

  add_executable(ico_to_png ${CMAKE_CURRENT_LIST_DIR}/tools/ico_to_png.cpp)
  target_link_libraries(ico_to_png PRIVATE
    chronolist_framework_icons chronolist_warnings PkgConfig::GDK_PIXBUF)

  set(chronolist_icon_theme_dir ${CMAKE_BINARY_DIR}/res/icons/hicolor)
  set(chronolist_icon_pngs "")
  set(chronolist_icon_png_args "")
  foreach(size 16 32)
    set(png ${chronolist_icon_theme_dir}/${size}x${size}/apps/chronolist.png)
    list(APPEND chronolist_icon_pngs ${png})
    list(APPEND chronolist_icon_png_args ${size} ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()

  add_custom_command(
    OUTPUT ${chronolist_icon_pngs}
    COMMAND ico_to_png ${chronolist_app_icon_ico} ${chronolist_icon_png_args}
    DEPENDS ico_to_png ${chronolist_app_icon_ico}
    COMMENT "Writing the theme icons from app_icon.ico"
    VERBATIM)
  add_custom_target(chronolist_icon_pngs ALL DEPENDS ${chronolist_icon_pngs})

  install(FILES ${CMAKE_CURRENT_LIST_DIR}/chronolist.desktop DESTINATION share/applications)
endif()
