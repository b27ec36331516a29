// What the user is told when the page could not be written, or the replays
// could not be read: the same words
// in the dialog's message box and, after --write, on stderr.
#pragma once

#include <string>

#include "timelist/time_list_page.h"

namespace chronolist {

// The page's path (or what could not be read) and the system's reason; that
// the old page is still there only when there is one.
std::string PageFailureMessage(const PageWriteResult& result);

}  // namespace chronolist
