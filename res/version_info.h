// The program's version data, for the version resource and the About box.
#pragma once

#define CHRONOLIST_VERSION_NUMBER 1, 0, 0, 1
#define CHRONOLIST_VERSION_STRING "1, 0, 0, 1"
#define CHRONOLIST_INTERNAL_NAME "Chronolist"
#define CHRONOLIST_ORIGINAL_FILENAME "Chronolist.EXE"
#define CHRONOLIST_PRODUCT_NAME "Chronolist ｱﾌﾟﾘｹｰｼｮﾝ"
#define CHRONOLIST_VERSION_LANGUAGE 0x0411
#define CHRONOLIST_VERSION_CODEPAGE 0x04B0
