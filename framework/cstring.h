// CString: the framework's string (UTF-8), with loading from the string
// table and the %1 and %2 substitutions of AfxFormatString1 and 2.
#pragma once

#include <string>

#include "framework/types.h"

namespace fw {

class CString : public std::string {
 public:
  using std::string::string;
  CString() = default;
  CString(std::string text) : std::string(std::move(text)) {}

  // FALSE, leaving the string empty, when there is no such string.
  BOOL LoadString(UINT nID);
  BOOL IsEmpty() const { return empty() ? TRUE : FALSE; }
  operator const char*() const { return c_str(); }
};

// Loads string `nIDS` and replaces each "%1" in it with `lpsz1`, which is
// inserted as is (a "%1" inside it is not replaced again).
void AfxFormatString1(CString& rString, UINT nIDS, const char* lpsz1);

// The same with "%1" and "%2" replaced by `lpsz1` and `lpsz2`.
void AfxFormatString2(CString& rString, UINT nIDS, const char* lpsz1, const char* lpsz2);

}  // namespace fw
