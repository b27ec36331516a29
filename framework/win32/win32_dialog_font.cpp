#include "framework/win32/win32_dialog_font.h"

#include <algorithm>
#include <vector>

#include "framework/dialog_font.h"

// After the framework's headers, on purpose: see windows_api.h.
#include "framework/win32/windows_api.h"
#include "timelist/win32_text.h"

namespace fw::win32 {

namespace {

LOGFONTW FontNamed(const std::wstring& face) {
  LOGFONTW font{};
  font.lfCharSet = DEFAULT_CHARSET;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
}

// Installed under that name (any of its names), not merely substituted.
bool Installed(::HDC dc, const std::wstring& face) {
  LOGFONTW wanted = FontNamed(face);
  bool found = false;
  ::EnumFontFamiliesExW(
      dc, &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, ::DWORD, ::LPARAM found) -> int {
        *reinterpret_cast<bool*>(found) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// Whether the font the system makes for `face` draws every character of
// `texts` itself. GDI's font linking would fill the gaps for some calls,
// but not for the dialog manager's controls.
bool HasGlyphs(::HDC dc, const std::wstring& face, const std::wstring& texts) {
  LOGFONTW wanted = FontNamed(face);
  wanted.lfHeight = -12;  // any size: a face has its glyphs at every size
  const FontPtr font(::CreateFontIndirectW(&wanted));
  if (font == nullptr) {
    return false;
  }
  // Put back before the font is deleted: the guards go in reverse order.
  const SelectedObject selected(dc, font.get());
  std::vector<WORD> glyphs(texts.size());
  const DWORD count = ::GetGlyphIndicesW(dc, texts.c_str(), static_cast<int>(texts.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  return count != GDI_ERROR && std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end();
}

}  // namespace

std::string DialogFace(const DialogTemplate& dialogTemplate) {
  std::wstring texts;
  for (const DialogItemTemplate& item : dialogTemplate.items) {
    texts += chronolist::Wide(item.text);
  }
  const std::string& templateFace = dialogTemplate.font.face;
  const WindowDC screen(nullptr);
  ::HDC dc = screen.get();
  std::string chosen = templateFace;
  if (!HasGlyphs(dc, chronolist::Wide(templateFace), texts)) {
    for (const std::string& candidate : DialogFontCandidates(templateFace)) {
      const std::wstring face = chronolist::Wide(candidate);
      if (candidate != templateFace && Installed(dc, face) && HasGlyphs(dc, face, texts)) {
        chosen = candidate;
        break;
      }
    }
  }
  return chosen;
}

}  // namespace fw::win32
