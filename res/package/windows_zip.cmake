# Writes the Windows zip ZIP (cmake -P, from the windows_zip target): PROGRAM
# stripped as Chronolist.exe, beside the readme already in the folder STAGE.
# strip writes the PE time stamp and every zip entry carries a time: both are
# SOURCE_DATE_EPOCH's. The zip's DOS time fields are local time, so the zip
# is written in UTC, whatever the builder's zone.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/source_date_epoch.cmake)
execute_process(COMMAND ${STRIP} -o ${STAGE}/Chronolist.exe ${PROGRAM} COMMAND_ERROR_IS_FATAL ANY)
string(TIMESTAMP mtime "%Y-%m-%d %H:%M:%S UTC" UTC)
set(ENV{TZ} UTC)
file(REMOVE ${ZIP})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip "--mtime=${mtime}"
    Chronolist.exe Chronolist-README.txt
  WORKING_DIRECTORY ${STAGE}
  COMMAND_ERROR_IS_FATAL ANY)
