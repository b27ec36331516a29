// The one application object, constructed before main() runs.
#include "app/time_list_app.h"

CTimeListApp theApp;
