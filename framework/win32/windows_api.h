// <windows.h> for the Win32 backend. Include it after every framework
// header: the framework declares members named like Win32 functions
// (SendMessage, LoadIcon, AppendMenu, ...), which windows.h turns into macros.
#pragma once

#include <windows.h>
// CommandLineToArgvW, which WIN32_LEAN_AND_MEAN leaves out.
#include <shellapi.h>

#undef AppendMenu
#undef LoadIcon
#undef LoadString
#undef MessageBox
#undef SendMessage
