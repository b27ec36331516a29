// Resource and command ids shared by the resources (dialogs.cpp, and
// chronolist.rc for the icon) and the application code.
#pragma once

// The resource script reads this header too, and knows only #define.
#define CHRONOLIST_APP_ICON_ID 128

#ifndef RC_INVOKED

#include "framework/types.h"

inline constexpr fw::UINT IDD_ABOUT_BOX = 100;
inline constexpr fw::UINT IDS_ABOUT_MENU = 101;
inline constexpr fw::UINT IDD_MAIN_DIALOG = 102;
inline constexpr fw::UINT IDS_PAGE_NOT_WRITTEN = 103;
inline constexpr fw::UINT IDS_PAGE_NOT_CREATED = 104;
inline constexpr fw::UINT IDS_NO_REPLAY_FOLDER = 105;
inline constexpr fw::UINT IDS_FOLDER_NOT_FOUND = 106;
inline constexpr fw::UINT IDS_NOT_A_FOLDER = 107;
inline constexpr fw::UINT IDS_TOO_MANY_ARGUMENTS = 108;
inline constexpr fw::UINT IDS_UNKNOWN_OPTION = 109;
inline constexpr fw::UINT IDS_PAGE_HELD_OPEN = 110;
inline constexpr fw::UINT IDS_REPLAYS_NOT_READ = 111;
inline constexpr fw::UINT IDS_REPLAYS_NOT_READ_NO_PAGE = 112;
inline constexpr fw::UINT IDS_NO_REPLAY_FOLDER_TO_WRITE = 113;
inline constexpr fw::UINT IDI_APP_ICON = CHRONOLIST_APP_ICON_ID;

// The About entry of the main dialog's system menu. System commands of our
// own must stay below 0xF000 and keep the low four bits clear.
inline constexpr fw::UINT IDM_ABOUT_COMMAND = 0x0010;

#endif  // RC_INVOKED
