#include "framework/cstring.h"

#include "framework/resources.h"

namespace fw {

BOOL CString::LoadString(UINT nID) {
  assign(FindStringResource(nID));
  return IsEmpty() ? FALSE : TRUE;
}

void AfxFormatString1(CString& rString, UINT nIDS, const char* lpsz1) {
  CString pattern;
  pattern.LoadString(nIDS);
  const std::string argument = lpsz1 != nullptr ? lpsz1 : "";
  std::string formatted;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.compare(i, 2, "%1") == 0) {
      formatted += argument;
      ++i;
    } else {
      formatted += pattern[i];
    }
  }
  rString = CString(std::move(formatted));
}

}  // namespace fw
