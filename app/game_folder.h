// Where the program works: the game folder, the one that holds `replay`,
// chosen from the command line and from where the program was started.
#pragma once

#include <string>
#include <vector>

namespace chronolist {

struct StartChoice {
  // kWrite: --write, the page written without a dialog.
  enum class Action { kRun, kWrite, kHelp, kVersion, kRefuse };
  Action action = Action::kRun;
  // kRun and kWrite: the game folder, absolute; empty means the working
  // folder, when even that cannot be named.
  std::string folder = {};
  // kRefuse: what is wrong with the command line, in the user's words.
  std::string problem = {};
};

// A folder argument decides, whatever the folder holds; --help and --version
// decide alone, with no other argument. --write may come before the folder.
// Any other argument that starts with a dash is refused as an unknown
// option, unless "--" came first (a folder whose name starts with a dash).
// Without a folder argument: the working folder if it holds `replay`, else
// the program's own folder if that does (the program kept in the game folder
// but started elsewhere), else the working folder all the same, and OK asks
// before it writes a page with no times. A folder named `replay` that holds
// no `replay` of its own stands for its parent, whichever way it was chosen:
// it was opened on the wrong folder, or started inside it.
StartChoice ChooseStart(const std::vector<std::string>& arguments,
                        const std::string& programFolder);

}  // namespace chronolist
