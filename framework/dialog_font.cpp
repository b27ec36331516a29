#include "framework/dialog_font.h"

#include <algorithm>

namespace fw {

namespace {

// IPAPGothic has the advance widths of the Windows Japanese UI face, so the
// dialog lays out as it does there; then the Japanese UI faces of Windows
// versions without that face, ordinary Japanese sans faces, and whatever the
// system calls sans. The Linux and the Windows backend both take them in
// this order, each keeping the first it has (the Windows one: with glyphs
// for the dialog's texts).
constexpr const char* kFallbackFaces[] = {
    "IPAPGothic",   "MS UI Gothic",       "Yu Gothic UI", "Meiryo UI",
    "IPAexGothic",  "VL PGothic",         "TakaoPGothic", "Noto Sans CJK JP",
    "Noto Sans JP", "Source Han Sans JP", "IPAGothic",    "Sans",
};

}  // namespace

std::vector<std::string> DialogFontCandidates(const std::string& templateFace) {
  std::vector<std::string> faces;
  if (!templateFace.empty()) {
    faces.push_back(templateFace);
  }
  for (const char* face : kFallbackFaces) {
    if (std::find(faces.begin(), faces.end(), face) == faces.end()) {
      faces.emplace_back(face);
    }
  }
  return faces;
}

}  // namespace fw
