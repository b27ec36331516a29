#include "app/page_failure.h"

#include "framework/cstring.h"
#include "res/resource.h"

namespace chronolist {

std::string PageFailureMessage(const PageWriteResult& result) {
  fw::CString message;
  fw::AfxFormatString2(message,
                       result.previousPageKept ? IDS_PAGE_NOT_WRITTEN : IDS_PAGE_NOT_CREATED,
                       result.path.c_str(), result.reason().c_str());
  return message;
}

}  // namespace chronolist
