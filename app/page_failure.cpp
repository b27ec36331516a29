#include "app/page_failure.h"

#include "framework/cstring.h"
#include "res/resource.h"

namespace chronolist {

std::string PageFailureMessage(const PageWriteResult& result) {
  // Replays that could not be read are named instead of the page, which was
  // not touched.
  const bool unread = !result.unreadPath.empty();
  const fw::UINT text =
      unread ? (result.previousPageKept ? IDS_REPLAYS_NOT_READ : IDS_REPLAYS_NOT_READ_NO_PAGE)
             : (result.previousPageKept ? IDS_PAGE_NOT_WRITTEN : IDS_PAGE_NOT_CREATED);
  fw::CString message;
  fw::AfxFormatString2(message, text, (unread ? result.unreadPath : result.path).c_str(),
                       result.reason().c_str());
  return message;
}

}  // namespace chronolist
