# The .ico decoder: standard C++, shared by the backends and the build's icon
# tools (res/tools/ico_to_png), so it stands apart from the framework proper.
add_library(chronolist_framework_icons STATIC ${CMAKE_CURRENT_LIST_DIR}/icon_image.cpp)
target_include_directories(chronolist_framework_icons PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(chronolist_framework_icons PRIVATE chronolist_warnings)
