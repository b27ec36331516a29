// The in-memory dialog templates handed to the Windows dialog manager: read
// back field by field with an independent reader, and the UTF-16 they carry.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/dialog_template_binary.h"
#include "support/dialog_template_reader.h"

namespace fw {
namespace {

using chronolist::test::Reader;

DialogTemplate Sample(bool extended) {
  DialogTemplate dialog;
  dialog.id = 7;
  dialog.extended = extended;
  dialog.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  dialog.exStyle = extended ? WS_EX_APPWINDOW : 0;
  dialog.x = 0;
  dialog.y = 0;
  dialog.cx = 143;
  dialog.cy = 63;
  dialog.caption = "Ab";  // odd lengths exercise the padding
  dialog.font = {9, 0, false, DEFAULT_CHARSET, "ＭＳ Ｐゴシック"};
  dialog.items = {
      {.id = IDOK,
       .windowClass = ControlClass::Button,
       .text = "OK",
       .x = 104,
       .y = 42,
       .cx = 32,
       .cy = 14,
       .style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
      {.id = -1,
       .windowClass = ControlClass::Static,
       .text = "",
       .iconId = 128,
       .x = 11,
       .y = 17,
       .cx = 20,
       .cy = 20,
       .style = WS_CHILD | WS_VISIBLE | SS_ICON},
      {.id = -1,
       .windowClass = ControlClass::Static,
       .text = "ｷｬﾝｾﾙ",
       .x = 7,
       .y = 7,
       .cx = 123,
       .cy = 8,
       .style = WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP},
  };
  return dialog;
}

TEST(DialogTemplateBinary, ExtendedTemplateReadsBack) {
  const DialogTemplate dialog = Sample(true);
  const std::vector<std::uint8_t> bytes = BuildDialogTemplateBinary(dialog);
  Reader in(bytes);
  EXPECT_EQ(in.Word(), 1);       // dlgVer
  EXPECT_EQ(in.Word(), 0xFFFF);  // signature
  EXPECT_EQ(in.Dword(), 0u);     // helpID
  EXPECT_EQ(in.Dword(), WS_EX_APPWINDOW);
  EXPECT_EQ(in.Dword(), dialog.style);
  EXPECT_EQ(in.Word(), 3);
  EXPECT_EQ(in.Word(), 0);
  EXPECT_EQ(in.Word(), 0);
  EXPECT_EQ(in.Word(), 143);
  EXPECT_EQ(in.Word(), 63);
  EXPECT_EQ(in.Word(), 0);  // menu
  EXPECT_EQ(in.Word(), 0);  // class
  EXPECT_EQ(in.String(), u"Ab");
  EXPECT_EQ(in.Word(), 9);  // point size
  EXPECT_EQ(in.Word(), 0);  // weight
  EXPECT_EQ(in.Byte(), 0);  // italic
  EXPECT_EQ(in.Byte(), DEFAULT_CHARSET);
  EXPECT_EQ(in.String(), u"ＭＳ Ｐゴシック");

  // OK
  in.AlignToDword();
  EXPECT_EQ(in.Dword(), 0u);  // helpID
  EXPECT_EQ(in.Dword(), 0u);  // exStyle
  EXPECT_EQ(in.Dword(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
  EXPECT_EQ(in.Word(), 104);
  EXPECT_EQ(in.Word(), 42);
  EXPECT_EQ(in.Word(), 32);
  EXPECT_EQ(in.Word(), 14);
  EXPECT_EQ(in.Dword(), 1u);
  EXPECT_EQ(in.Word(), 0xFFFF);
  EXPECT_EQ(in.Word(), 0x0080);  // Button
  EXPECT_EQ(in.String(), u"OK");
  EXPECT_EQ(in.Word(), 0);  // creation data

  // The icon: its title is the resource ordinal.
  in.AlignToDword();
  EXPECT_EQ(in.Offset() % 4, 0u);
  in.Dword();
  in.Dword();
  EXPECT_EQ(in.Dword(), WS_CHILD | WS_VISIBLE | SS_ICON);
  for (int field : {11, 17, 20, 20}) {
    EXPECT_EQ(in.Word(), field);
  }
  EXPECT_EQ(in.Dword(), 0xFFFFFFFFu);  // id -1 as a DWORD
  EXPECT_EQ(in.Word(), 0xFFFF);
  EXPECT_EQ(in.Word(), 0x0082);  // Static
  EXPECT_EQ(in.Word(), 0xFFFF);
  EXPECT_EQ(in.Word(), 128);
  EXPECT_EQ(in.Word(), 0);

  in.AlignToDword();
  in.Dword();
  in.Dword();
  in.Dword();
  for (int field : {7, 7, 123, 8}) {
    EXPECT_EQ(in.Word(), field);
  }
  in.Dword();
  in.Word();
  in.Word();
  EXPECT_EQ(in.String(), u"\uFF77\uFF6C\uFF9D\uFF7E\uFF99");
  EXPECT_EQ(in.Word(), 0);
  EXPECT_TRUE(in.AtEnd());
}

TEST(DialogTemplateBinary, ClassicTemplateReadsBack) {
  const DialogTemplate dialog = Sample(false);
  const std::vector<std::uint8_t> bytes = BuildDialogTemplateBinary(dialog);
  Reader in(bytes);
  EXPECT_EQ(in.Dword(), dialog.style);
  EXPECT_EQ(in.Dword(), 0u);
  EXPECT_EQ(in.Word(), 3);
  for (int field : {0, 0, 143, 63, 0, 0}) {
    EXPECT_EQ(in.Word(), field);
  }
  EXPECT_EQ(in.String(), u"Ab");
  EXPECT_EQ(in.Word(), 9);  // no weight, italic or charset in a classic template
  EXPECT_EQ(in.String(), u"ＭＳ Ｐゴシック");

  in.AlignToDword();
  EXPECT_EQ(in.Dword(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
  EXPECT_EQ(in.Dword(), 0u);
  for (int field : {104, 42, 32, 14}) {
    EXPECT_EQ(in.Word(), field);
  }
  EXPECT_EQ(in.Word(), 1);  // a WORD id here
  EXPECT_EQ(in.Word(), 0xFFFF);
  EXPECT_EQ(in.Word(), 0x0080);
  EXPECT_EQ(in.String(), u"OK");
  EXPECT_EQ(in.Word(), 0);

  in.AlignToDword();
  in.Dword();
  in.Dword();
  for (int field : {11, 17, 20, 20}) {
    EXPECT_EQ(in.Word(), field);
  }
  EXPECT_EQ(in.Word(), 0xFFFF);  // id -1 as a WORD
  EXPECT_EQ(in.Word(), 0xFFFF);
  EXPECT_EQ(in.Word(), 0x0082);
  EXPECT_EQ(in.Word(), 0xFFFF);
  EXPECT_EQ(in.Word(), 128);
  EXPECT_EQ(in.Word(), 0);
}

TEST(DialogTemplateBinary, NoFontWithoutSetFont) {
  DialogTemplate dialog = Sample(true);
  dialog.style &= ~DS_SETFONT;
  dialog.items.clear();
  const std::vector<std::uint8_t> bytes = BuildDialogTemplateBinary(dialog);
  // 30 bytes of header, the caption "Ab" and its terminator, and no font.
  EXPECT_EQ(bytes.size(), 30u + 6u);
  EXPECT_EQ(bytes[30], 'A');
  EXPECT_EQ(bytes[34], 0);
}

}  // namespace
}  // namespace fw
