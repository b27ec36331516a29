# Writes the Windows zip ZIP (cmake -P, from the windows_zip target): PROGRAM
# stripped as Chronolist.exe, beside the readme already in the folder STAGE.
# strip writes the PE time stamp and every zip entry carries a time: both are
# SOURCE_DATE_EPOCH's.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/source_date_epoch.cmake)
execute_process(COMMAND ${STRIP} -o ${STAGE}/Chronolist.exe ${PROGRAM} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${ZIP})
execute_process(
  COMMAND ${PYTHON} -B ${CMAKE_CURRENT_LIST_DIR}/../tools/write_zip.py ${ZIP}
    ${STAGE}/Chronolist.exe ${STAGE}/Chronolist-README.txt
  COMMAND_ERROR_IS_FATAL ANY)
