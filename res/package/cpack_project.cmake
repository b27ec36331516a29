# Read by cpack before it writes the .deb: CPack stamps the archive members
# and every file in them with SOURCE_DATE_EPOCH when it is set.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/source_date_epoch.cmake)
