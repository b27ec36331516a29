// An independent reader of the binary dialog templates the Windows build
// hands to the dialog manager: word by word, or the whole template back into
// its data.
#pragma once

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "timelist/text_encoding.h"

namespace chronolist::test {

// Reads the layout as the dialog manager does, checking bounds as it goes.
class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  std::uint16_t Word() {
    Need(2);
    const auto value = static_cast<std::uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
    at_ += 2;
    return value;
  }
  std::uint32_t Dword() {
    const std::uint32_t low = Word();
    return low | (static_cast<std::uint32_t>(Word()) << 16);
  }
  std::uint8_t Byte() {
    Need(1);
    return bytes_[at_++];
  }
  std::u16string String() {
    std::u16string text;
    for (std::uint16_t unit = Word(); unit != 0; unit = Word()) {
      text += static_cast<char16_t>(unit);
    }
    return text;
  }
  std::uint16_t Peek() const { return Reader(*this).Word(); }
  void AlignToDword() { at_ = (at_ + 3) & ~std::size_t{3}; }
  std::size_t Offset() const { return at_; }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  void Need(std::size_t count) const {
    if (at_ + count > bytes_.size()) {
      throw std::out_of_range("template ends early");
    }
  }
  const std::vector<std::uint8_t>& bytes_;
  std::size_t at_ = 0;
};

// The whole template, extended (DLGTEMPLATEEX) or classic, back into its
// data; the id is not in the binary layout and stays 0.
inline fw::DialogTemplate ReadDialogTemplate(const std::vector<std::uint8_t>& bytes) {
  Reader in(bytes);
  fw::DialogTemplate dialog;
  const std::uint32_t first = in.Dword();
  dialog.extended = first == 0xFFFF0001u;  // dlgVer 1, signature 0xFFFF
  if (dialog.extended) {
    in.Dword();  // helpID
    dialog.exStyle = in.Dword();
    dialog.style = in.Dword();
  } else {
    dialog.style = first;
    dialog.exStyle = in.Dword();
  }
  dialog.items.resize(in.Word());
  for (short* field : {&dialog.x, &dialog.y, &dialog.cx, &dialog.cy}) {
    *field = static_cast<short>(in.Word());
  }
  if (in.Word() != 0 || in.Word() != 0) {
    throw std::runtime_error("a menu or window class the program never sets");
  }
  dialog.caption = Utf16ToUtf8(in.String());
  if ((dialog.style & fw::DS_SETFONT) != 0) {
    dialog.font.pointSize = in.Word();
    if (dialog.extended) {
      dialog.font.weight = in.Word();
      dialog.font.italic = in.Byte() != 0;
      dialog.font.charset = in.Byte();
    }
    dialog.font.face = Utf16ToUtf8(in.String());
  }
  for (fw::DialogItemTemplate& item : dialog.items) {
    in.AlignToDword();
    if (dialog.extended) {
      in.Dword();  // helpID
      item.exStyle = in.Dword();
      item.style = in.Dword();
    } else {
      item.style = in.Dword();
      item.exStyle = in.Dword();
    }
    for (short* field : {&item.x, &item.y, &item.cx, &item.cy}) {
      *field = static_cast<short>(in.Word());
    }
    item.id = dialog.extended ? static_cast<std::int32_t>(in.Dword())
                              : static_cast<std::int16_t>(in.Word());
    if (in.Word() != 0xFFFF) {
      throw std::runtime_error("a window class by name, not by atom");
    }
    item.windowClass = static_cast<fw::ControlClass>(in.Word());
    if (in.Peek() == 0xFFFF) {  // a resource ordinal for a title: the icon
      in.Word();
      item.iconId = in.Word();
    } else {
      item.text = Utf16ToUtf8(in.String());
    }
    if (in.Word() != 0) {
      throw std::runtime_error("creation data the program never sets");
    }
  }
  if (!in.AtEnd()) {
    throw std::runtime_error("bytes after the last control");
  }
  return dialog;
}

// Every field on its own line, for comparisons whose failures name the field.
inline std::string Describe(const fw::DialogTemplate& dialog) {
  std::ostringstream out;
  out << "extended " << dialog.extended << " style " << dialog.style << " exStyle "
      << dialog.exStyle << " at " << dialog.x << ',' << dialog.y << ' ' << dialog.cx << 'x'
      << dialog.cy << "\ncaption " << dialog.caption << "\nfont " << dialog.font.pointSize << ' '
      << dialog.font.weight << ' ' << dialog.font.italic << ' ' << dialog.font.charset << ' '
      << dialog.font.face << '\n';
  for (const fw::DialogItemTemplate& item : dialog.items) {
    out << "control " << item.id << " class " << static_cast<int>(item.windowClass) << " style "
        << item.style << " exStyle " << item.exStyle << " at " << item.x << ',' << item.y << ' '
        << item.cx << 'x' << item.cy << " icon " << item.iconId << " text " << item.text << '\n';
  }
  return out.str();
}

}  // namespace chronolist::test
