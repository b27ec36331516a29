#include "framework/dialog_template_binary.h"

#include "timelist/text_encoding.h"

namespace fw {

namespace {

class Writer {
 public:
  void Word(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  void Dword(std::uint32_t value) {
    Word(static_cast<std::uint16_t>(value & 0xFFFF));
    Word(static_cast<std::uint16_t>(value >> 16));
  }
  void Short(short value) { Word(static_cast<std::uint16_t>(value)); }
  void Byte(std::uint8_t value) { bytes_.push_back(value); }
  void String(const std::string& utf8) {
    for (char16_t unit : chronolist::Utf8ToUtf16(utf8)) {
      Word(unit);
    }
    Word(0);
  }
  void Ordinal(std::uint16_t value) {
    Word(0xFFFF);
    Word(value);
  }
  // The extended forms put the extended style first, after a help id.
  void Styles(std::uint32_t style, std::uint32_t exStyle, bool extended) {
    if (extended) {
      Dword(0);  // helpID
      Dword(exStyle);
      Dword(style);
    } else {
      Dword(style);
      Dword(exStyle);
    }
  }
  void AlignToDword() {
    while (bytes_.size() % 4 != 0) {
      bytes_.push_back(0);
    }
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

void WriteItemTail(Writer& out, const DialogItemTemplate& item) {
  out.Ordinal(static_cast<std::uint16_t>(item.windowClass));
  if (item.IsIcon()) {
    out.Ordinal(static_cast<std::uint16_t>(item.iconId));
  } else {
    out.String(item.text);
  }
  out.Word(0);  // no creation data
}

}  // namespace

std::vector<std::uint8_t> BuildDialogTemplateBinary(const DialogTemplate& dialog) {
  Writer out;
  const bool hasFont = (dialog.style & DS_SETFONT) != 0;
  if (dialog.extended) {
    out.Word(1);       // dlgVer
    out.Word(0xFFFF);  // signature
  }
  out.Styles(dialog.style, dialog.exStyle, dialog.extended);
  out.Word(static_cast<std::uint16_t>(dialog.items.size()));
  out.Short(dialog.x);
  out.Short(dialog.y);
  out.Short(dialog.cx);
  out.Short(dialog.cy);
  out.Word(0);  // no menu
  out.Word(0);  // the predefined dialog class
  out.String(dialog.caption);
  if (hasFont) {
    out.Word(static_cast<std::uint16_t>(dialog.font.pointSize));
    if (dialog.extended) {
      out.Word(static_cast<std::uint16_t>(dialog.font.weight));
      out.Byte(dialog.font.italic ? 1 : 0);
      out.Byte(static_cast<std::uint8_t>(dialog.font.charset));
    }
    out.String(dialog.font.face);
  }

  for (const DialogItemTemplate& item : dialog.items) {
    out.AlignToDword();
    out.Styles(item.style, item.exStyle, dialog.extended);
    out.Short(item.x);
    out.Short(item.y);
    out.Short(item.cx);
    out.Short(item.cy);
    if (dialog.extended) {
      out.Dword(static_cast<std::uint32_t>(item.id));
    } else {
      out.Word(static_cast<std::uint16_t>(item.id));
    }
    WriteItemTail(out, item);
  }
  return out.Take();
}

}  // namespace fw
