// The program's dialog templates and string table: the one description of
// each dialog, from which every backend builds it.
#include "res/chronolist_resources.h"
#include "res/resource.h"
#include "res/version_info.h"

using namespace fw;

namespace {

const DialogFont kDialogFont{9, FW_DONTCARE, false, DEFAULT_CHARSET, "ＭＳ Ｐゴシック"};

constexpr DWORD kPushButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kStaticText = WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP;

const DialogTemplate kDialogs[] = {
    {
        .id = IDD_ABOUT_BOX,
        .extended = false,
        .style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU,
        .exStyle = 0,
        .x = 0,
        .y = 0,
        .cx = 235,
        .cy = 55,
        .caption = "ChronolistExのﾊﾞｰｼﾞｮﾝ情報",
        .font = kDialogFont,
        .items =
            {
                {.text = "",
                 .iconId = IDI_APP_ICON,
                 .x = 11,
                 .y = 17,
                 .cx = 20,
                 .cy = 20,
                 .style = WS_CHILD | WS_VISIBLE | SS_ICON},
                {.text = "Chronolist Version " CHRONOLIST_VERSION_SHORT,
                 .x = 40,
                 .y = 10,
                 .cx = 119,
                 .cy = 8,
                 .style = kStaticText | SS_NOPREFIX},
                {.text = "Copyright (C) 2026 Chronolist",
                 .x = 40,
                 .y = 25,
                 .cx = 119,
                 .cy = 8,
                 .style = kStaticText},
                {.id = IDOK,
                 .windowClass = ControlClass::Button,
                 .text = "OK",
                 .x = 178,
                 .y = 7,
                 .cx = 50,
                 .cy = 14,
                 .style = kPushButton | BS_DEFPUSHBUTTON | WS_GROUP},
            },
    },
    {
        .id = IDD_MAIN_DIALOG,
        .extended = true,
        .style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
        .exStyle = WS_EX_APPWINDOW,
        .x = 0,
        .y = 0,
        .cx = 143,
        .cy = 63,
        .caption = "ChronolistEx",
        .font = kDialogFont,
        .items =
            {
                {.id = IDOK,
                 .windowClass = ControlClass::Button,
                 .text = "OK",
                 .x = 104,
                 .y = 42,
                 .cx = 32,
                 .cy = 14,
                 .style = kPushButton | BS_DEFPUSHBUTTON},
                {.id = IDCANCEL,
                 .windowClass = ControlClass::Button,
                 .text = "ｷｬﾝｾﾙ",
                 .x = 72,
                 .y = 42,
                 .cx = 29,
                 .cy = 14,
                 .style = kPushButton},
                {.text = "リプレデータ・タイムリストをHTML形式で、",
                 .x = 7,
                 .y = 18,
                 .cx = 122,
                 .cy = 8,
                 .style = kStaticText},
                {.text = "出力します。(replistEx.html)",
                 .x = 7,
                 .y = 29,
                 .cx = 82,
                 .cy = 8,
                 .style = kStaticText},
                {.text = "エクストラモード（ルーム１１１～１５１迄）の",
                 .x = 7,
                 .y = 7,
                 .cx = 123,
                 .cy = 8,
                 .style = kStaticText},
            },
    },
};

const StringResource kStrings[] = {
    {IDS_ABOUT_MENU, "Chronolist のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    // %1 is the page's full path, %2 the system's reason.
    {IDS_PAGE_NOT_WRITTEN,
     "%1 を書き出せませんでした。\n理由: %2\n\n"
     "前のリストはそのまま残っています。原因を取り除いてから、もう一度 OK を押してください。"},
    // The same when there was no previous page to keep.
    {IDS_PAGE_NOT_CREATED,
     "%1 を書き出せませんでした。\n理由: %2\n\n"
     "原因を取り除いてから、もう一度 OK を押してください。"},
    // %1 is the folder's full path. Asked before a page with no times is
    // written where there are no replays at all; No is the default.
    {IDS_NO_REPLAY_FOLDER,
     "%1 には replay フォルダがありません。\n"
     "ゲームのフォルダ（replay フォルダのあるフォルダ）で起動してください。\n\n"
     "このまま、タイムのないリストをここに書き出しますか？"},
    // A command line that names no folder to work in: %1 is the argument as
    // given. One line each, as a terminal shows it too.
    {IDS_FOLDER_NOT_FOUND,
     "フォルダ「%1」が見つかりません。"
     "ゲームのフォルダ（replay フォルダのあるフォルダ）を指定してください。"},
    {IDS_NOT_A_FOLDER,
     "「%1」はフォルダではありません。"
     "ゲームのフォルダ（replay フォルダのあるフォルダ）を指定してください。"},
    {IDS_TOO_MANY_ARGUMENTS,
     "フォルダが二つ以上指定されました: %1。"
     "ゲームのフォルダ（replay フォルダのあるフォルダ）を一つだけ指定してください。"},
};

const IconResource kIcons[] = {
    {IDI_APP_ICON, "/chronolist/icons/app/"},
};

}  // namespace

const ResourceTable& chronolist::Resources() {
  static const ResourceTable table{kDialogs, kStrings, kIcons};
  return table;
}
