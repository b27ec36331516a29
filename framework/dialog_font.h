// The faces tried, in order, for a dialog font that the system may not have:
// the template's own face first, then metric-compatible and other Japanese
// sans faces, Linux's and Windows' in one list.
#pragma once

#include <string>
#include <vector>

namespace fw {

std::vector<std::string> DialogFontCandidates(const std::string& templateFace);

}  // namespace fw
