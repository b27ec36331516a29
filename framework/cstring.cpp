#include "framework/cstring.h"

#include <initializer_list>

#include "framework/resources.h"

namespace fw {

BOOL CString::LoadString(UINT nID) {
  assign(FindStringResource(nID));
  return IsEmpty() ? FALSE : TRUE;
}

namespace {

// Replaces "%1" ... "%n" in the string `nIDS` in one pass, so that text
// inserted for one is never taken for another.
CString FormatString(UINT nIDS, std::initializer_list<const char*> arguments) {
  CString pattern;
  pattern.LoadString(nIDS);
  std::string formatted;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const auto index = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && index < arguments.size()) {
      const char* argument = arguments.begin()[index];
      formatted += argument != nullptr ? argument : "";
      ++i;
    } else {
      formatted += pattern[i];
    }
  }
  return {std::move(formatted)};
}

}  // namespace

void AfxFormatString1(CString& rString, UINT nIDS, const char* lpsz1) {
  rString = FormatString(nIDS, {lpsz1});
}

void AfxFormatString2(CString& rString, UINT nIDS, const char* lpsz1, const char* lpsz2) {
  rString = FormatString(nIDS, {lpsz1, lpsz2});
}

}  // namespace fw
