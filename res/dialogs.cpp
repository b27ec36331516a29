// The program's dialog templates and string table: the one description of
// each dialog, from which every backend builds it.
#include "res/chronolist_resources.h"
#include "res/resource.h"
#include "res/version_info.h"

using namespace fw;

namespace {

const DialogFont kDialogFont{9, FW_DONTCARE, false, DEFAULT_CHARSET, "ＭＳ Ｐゴシック"};

// The controls as a resource script spells them (ICON, LTEXT, PUSHBUTTON):
// what they show, then their rectangle in dialog units.
DialogItemTemplate Control(ControlClass windowClass, int id, const char* text, short x, short y,
                           short cx, short cy, DWORD style) {
  return {.id = id,
          .windowClass = windowClass,
          .text = text,
          .x = x,
          .y = y,
          .cx = cx,
          .cy = cy,
          .style = WS_CHILD | WS_VISIBLE | style};
}

DialogItemTemplate Icon(UINT iconId, short x, short y, short cx, short cy) {
  DialogItemTemplate icon = Control(ControlClass::Static, kStaticId, "", x, y, cx, cy, SS_ICON);
  icon.iconId = iconId;
  return icon;
}

DialogItemTemplate LeftText(const char* text, short x, short y, short cx, short cy,
                            DWORD style = 0) {
  return Control(ControlClass::Static, kStaticId, text, x, y, cx, cy, SS_LEFT | WS_GROUP | style);
}

DialogItemTemplate PushButton(const char* text, int id, short x, short y, short cx, short cy,
                              DWORD style = 0) {
  return Control(ControlClass::Button, id, text, x, y, cx, cy, WS_TABSTOP | style);
}

const DialogTemplate kDialogs[] = {
    {
        .id = IDD_ABOUT_BOX,
        .extended = false,
        .style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU,
        .cx = 235,
        .cy = 55,
        .caption = "ChronolistExのﾊﾞｰｼﾞｮﾝ情報",
        .font = kDialogFont,
        .items =
            {
                Icon(IDI_APP_ICON, 11, 17, 20, 20),
                LeftText("Chronolist Version " CHRONOLIST_VERSION_SHORT, 40, 10, 119, 8,
                         SS_NOPREFIX),
                LeftText(CHRONOLIST_COPYRIGHT, 40, 25, 119, 8),
                PushButton("OK", IDOK, 178, 7, 50, 14, BS_DEFPUSHBUTTON | WS_GROUP),
            },
    },
    {
        .id = IDD_MAIN_DIALOG,
        .extended = true,
        .style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
        .exStyle = WS_EX_APPWINDOW,
        .cx = 143,
        .cy = 63,
        .caption = "ChronolistEx",
        .font = kDialogFont,
        .items =
            {
                PushButton("OK", IDOK, 104, 42, 32, 14, BS_DEFPUSHBUTTON),
                PushButton("ｷｬﾝｾﾙ", IDCANCEL, 72, 42, 29, 14),
                LeftText("リプレデータ・タイムリストをHTML形式で、", 7, 18, 122, 8),
                LeftText("出力します。(replistEx.html)", 7, 29, 82, 8),
                LeftText("エクストラモード（ルーム１１１～１５１迄）の", 7, 7, 123, 8),
            },
    },
};

const StringResource kStrings[] = {
    // The caption of the program's message boxes, whatever its file is called.
    {AFX_IDS_APP_TITLE, CHRONOLIST_FILE_DESCRIPTION},
    {IDS_ABOUT_MENU, "Chronolist のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    // %1 is the page's full path, %2 the system's reason.
    {IDS_PAGE_NOT_WRITTEN,
     "%1 を書き出せませんでした。\n理由: %2\n\n"
     "前のリストはそのまま残っています。原因を取り除いてから、もう一度 OK を押してください。"},
    // The same when there was no previous page to keep.
    {IDS_PAGE_NOT_CREATED,
     "%1 を書き出せませんでした。\n理由: %2\n\n"
     "原因を取り除いてから、もう一度 OK を押してください。"},
    // The page is open in another program (a viewer that locks it), which
    // the user can close: %1 is the page's full path.
    {IDS_PAGE_HELD_OPEN,
     "%1 はほかのプログラムが開いているため、書き出せませんでした。\n\n"
     "前のリストはそのまま残っています。"
     "そのプログラムを閉じてから、もう一度 OK を押してください。"},
    // The replays could not be read (a folder without permission, a failing
    // disk), so no page was written: %1 is what could not be read, %2 the
    // system's reason.
    {IDS_REPLAYS_NOT_READ,
     "%1 を読めませんでした。\n理由: %2\n\n"
     "リストは書き出していません。前のリストはそのまま残っています。"
     "原因を取り除いてから、もう一度 OK を押してください。"},
    {IDS_REPLAYS_NOT_READ_NO_PAGE,
     "%1 を読めませんでした。\n理由: %2\n\n"
     "リストは書き出していません。原因を取り除いてから、もう一度 OK を押してください。"},
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
    // %1 is the argument as given: an option the program does not know, or
    // --help or --version with other arguments.
    {IDS_UNKNOWN_OPTION,
     "オプション「%1」は使えません（--help と --version は単独でのみ使えます）。"
     "使い方は --help で確かめてください。"},
    // After --write, on stderr: %1 is the folder's full path.
    {IDS_NO_REPLAY_FOLDER_TO_WRITE,
     "%1 には replay フォルダがないので、リストを書き出しませんでした。"
     "ゲームのフォルダ（replay フォルダのあるフォルダ）を指定してください。"},
};

const IconResource kIcons[] = {
    {IDI_APP_ICON, "/chronolist/icons/app/"},
};

}  // namespace

const ResourceTable& chronolist::Resources() {
  static const ResourceTable table{kDialogs, kStrings, kIcons};
  return table;
}
