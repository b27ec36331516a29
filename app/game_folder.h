// Where the program works: the game folder, the one that holds `replay`,
// chosen from the command line and from where the program was started.
#pragma once

#include <string>
#include <vector>

namespace chronolist {

struct StartChoice {
  enum class Action { kRun, kHelp, kVersion, kRefuse };
  Action action = Action::kRun;
  // kRun: the game folder, absolute; empty means the working folder, when
  // even that cannot be named.
  std::string folder = {};
  // kRefuse: what is wrong with the command line, in the user's words.
  std::string problem = {};
};

// A folder argument decides, whatever the folder holds; so do --help and
// --version ("--" ends the options, for a folder whose name starts with a
// dash). Without an argument: the working folder if it holds `replay`, else
// the program's own folder if that does (the program kept in the game folder
// but started elsewhere), else the working folder all the same, and OK asks
// before it writes a page with no times.
StartChoice ChooseStart(const std::vector<std::string>& arguments,
                        const std::string& programFolder);

}  // namespace chronolist
