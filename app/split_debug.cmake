# Moves the debug information of EXE into EXE.debug and strips EXE (cmake -P,
# after the link, with OBJCOPY and STRIP). Both tools write the PE header's
# time stamp, and so its checksum, anew: SOURCE_DATE_EPOCH's, so that the
# same commit gives the same Chronolist.exe.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/source_date_epoch.cmake)
execute_process(COMMAND ${OBJCOPY} --only-keep-debug ${EXE} ${EXE}.debug
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${STRIP} --strip-all ${EXE} COMMAND_ERROR_IS_FATAL ANY)
