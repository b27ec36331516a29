# The one time stamp the packages carry, so that the same commit gives the
# same bytes: SOURCE_DATE_EPOCH when the caller sets it (a distribution's
# build does), else the last commit's time. Included by the scripts that run
# when the packages are written, not at configure time, so a commit made
# after configuring still counts; it exports the value to what they start.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  execute_process(COMMAND git log -1 --format=%ct
    WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}
    OUTPUT_VARIABLE chronolist_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE chronolist_git_failed ERROR_QUIET)
  if(chronolist_git_failed OR NOT chronolist_epoch MATCHES "^[0-9]+$")
    # A tree without its history (an unpacked source archive) has no commit
    # to take the time from.
    message(FATAL_ERROR "Set SOURCE_DATE_EPOCH: no git commit to take the packages' time from")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${chronolist_epoch})
endif()
