# Running the cross-built Windows programs under Wine: one Wine prefix per
# build tree, made once by a ctest fixture, with the dialog font's substitute.
set(CHRONOLIST_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CHRONOLIST_WINE_ENVIRONMENT
  "WINEPREFIX=${CHRONOLIST_WINEPREFIX}"
  "WINEDEBUG=-all"
  "WINEDLLOVERRIDES=mscoree,mshtml=")

add_test(NAME wine_prefix
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/make-wine-prefix ${CHRONOLIST_WINEPREFIX})
set_tests_properties(wine_prefix PROPERTIES
  FIXTURES_SETUP wine_prefix LABELS windows TIMEOUT 300 RUN_SERIAL TRUE)

# A test that runs `command` (a target, started through Wine) in the prefix.
function(chronolist_add_wine_test name command label)
  add_test(NAME ${name} COMMAND ${command} ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_prefix
    ENVIRONMENT "${CHRONOLIST_WINE_ENVIRONMENT}"
    LABELS "${label};windows"
    TIMEOUT 300)
endfunction()

# The program's file read back with the Windows API: its version resource,
# manifest and resource languages, and that it carries no debug information.
if(TARGET chronolist)
  add_executable(program_file_tests
    ${CMAKE_CURRENT_LIST_DIR}/version_info_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/program_image_test.cpp)
  target_compile_definitions(program_file_tests PRIVATE
    CHRONOLIST_PROGRAM="Z:$<TARGET_FILE:chronolist>"
    CHRONOLIST_MANIFEST="Z:${CHRONOLIST_GENERATED_DIR}/chronolist.manifest")
  target_include_directories(program_file_tests PRIVATE ${CHRONOLIST_GENERATED_DIR})
  target_link_libraries(program_file_tests PRIVATE version ole32 GTest::gtest_main)
  add_dependencies(program_file_tests chronolist)
  chronolist_add_wine_test(program_file_tests program_file_tests "system;res")
endif()

# Reads back, for the GUI tests of the Linux tree, what only the Windows API
# sees of the running program: message box text, system error text, DPI,
# dialog size and icons.
add_executable(window_probe ${CMAKE_CURRENT_LIST_DIR}/window_probe.cpp)
target_link_libraries(window_probe PRIVATE shell32 chronolist_warnings)
