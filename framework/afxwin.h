// Everything the application code uses from the framework, in one include.
#pragma once

#include "framework/cstring.h"
#include "framework/dialog.h"
#include "framework/menu.h"
#include "framework/message_map.h"
#include "framework/paint_dc.h"
#include "framework/types.h"
#include "framework/win_app.h"
#include "framework/wnd.h"
