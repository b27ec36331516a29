// The resources the framework tests run against, installed for the whole
// test program: two small dialogs (one placed by its template) and a few
// strings.
#include "framework/resources.h"
#include "support/scoped_resources.h"

using namespace fw;

namespace {

const DialogFont kFont{9, FW_DONTCARE, false, DEFAULT_CHARSET, "Sans"};

const DialogTemplate kDialogs[] = {
    {.id = 1,
     .style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
     .cx = 100,
     .cy = 50,
     .caption = "Centred",
     .font = kFont,
     .items = {{.id = IDOK,
                .windowClass = ControlClass::Button,
                .text = "OK",
                .style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON}}},
    {.id = 2,
     .style = DS_MODALFRAME | WS_POPUP | WS_CAPTION,
     .x = 10,
     .y = 10,
     .cx = 100,
     .cy = 50,
     .caption = "Placed, no system menu",
     .font = kFont,
     .items = {}},
};

const StringResource kStrings[] = {
    {10, "before %1 after %1"},
    {11, "plain"},
    {12, ""},
    {13, "%2 in %1; %3 stays"},
};

const ResourceTable kTable{kDialogs, kStrings, {}};
const chronolist::test::ScopedResources kInstalled(kTable);

}  // namespace
