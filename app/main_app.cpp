// The program: its one application object, constructed before main() runs,
// and the start that hands the framework the program's resources. (On
// Windows too: MinGW's start-up calls main() in a GUI program.)
#include "app/time_list_app.h"
#include "framework/application.h"
#include "res/chronolist_resources.h"

CTimeListApp theApp;

int main(int argc, char** argv) {
  return fw::RunApplication(argc, argv, chronolist::Resources());
}
