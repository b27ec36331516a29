#include "app/page_failure.h"

#include "framework/cstring.h"
#include "res/resource.h"

namespace chronolist {

// What the user can do about it: replays that could not be read are named
// instead of the page, which was not touched; a page held open by another
// program needs that program closed; otherwise the system's reason says
// what. Only a page that is there can be said to remain.
std::string PageFailureMessage(const PageWriteResult& result) {
  const bool unread = !result.unreadPath.empty();
  fw::UINT text = result.previousPageKept ? IDS_PAGE_NOT_WRITTEN : IDS_PAGE_NOT_CREATED;
  if (unread) {
    text = result.previousPageKept ? IDS_REPLAYS_NOT_READ : IDS_REPLAYS_NOT_READ_NO_PAGE;
  } else if (result.heldOpen) {
    text = IDS_PAGE_HELD_OPEN;
  }
  fw::CString message;
  fw::AfxFormatString2(message, text, (unread ? result.unreadPath : result.path).c_str(),
                       result.reason().c_str());
  return message;
}

}  // namespace chronolist
