# The .ico decoder's tests; they also check that the embedded application icon
# is byte for byte the committed res/app_icon.ico.
add_executable(icon_image_tests ${CMAKE_CURRENT_LIST_DIR}/icon_image_test.cpp)
target_link_libraries(icon_image_tests PRIVATE
  chronolist_framework_icons chronolist_app_icon_data chronolist_warnings GTest::gtest_main)
# Under Wine the Linux file system is drive Z:.
if(WIN32)
  set(chronolist_icon_file "Z:${PROJECT_SOURCE_DIR}/res/app_icon.ico")
else()
  set(chronolist_icon_file "${PROJECT_SOURCE_DIR}/res/app_icon.ico")
endif()
target_compile_definitions(icon_image_tests PRIVATE CHRONOLIST_APP_ICON_FILE="${chronolist_icon_file}")
chronolist_add_gtest(icon_image_tests framework)

# The desktop entry is checked when the validator is installed; the build
# never needs it. (Here rather than in res/: testing is enabled after res/.)
find_program(CHRONOLIST_DESKTOP_FILE_VALIDATE desktop-file-validate)
if(CHRONOLIST_DESKTOP_FILE_VALIDATE AND NOT WIN32)
  add_test(NAME desktop_entry_is_valid
    COMMAND ${CHRONOLIST_DESKTOP_FILE_VALIDATE} ${PROJECT_SOURCE_DIR}/res/chronolist.desktop)
  set_tests_properties(desktop_entry_is_valid PROPERTIES LABELS res)
endif()
