// The program's version data, for the version resource and the About box.
// The number itself is project(VERSION)'s, in the generated res/version.h.
#pragma once

#include "res/version.h"

#define CHRONOLIST_INTERNAL_NAME "Chronolist"
// What Task Manager and Explorer's details show as the program's description.
#define CHRONOLIST_FILE_DESCRIPTION "Chronolist"
#define CHRONOLIST_ORIGINAL_FILENAME "Chronolist.EXE"
#define CHRONOLIST_PRODUCT_NAME "Chronolist ｱﾌﾟﾘｹｰｼｮﾝ"
// The About box's second line and the version block's LegalCopyright.
#define CHRONOLIST_COPYRIGHT "Copyright (C) 2026 Chronolist"
#define CHRONOLIST_VERSION_LANGUAGE 0x0411
