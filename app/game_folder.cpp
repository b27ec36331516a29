#include "app/game_folder.h"

#include <sstream>

#include "framework/cstring.h"
#include "res/resource.h"
#include "timelist/folder.h"
#include "timelist/replay_scan.h"

namespace chronolist {

namespace {

StartChoice Refuse(fw::UINT message, const std::string& argument) {
  fw::CString text;
  fw::AfxFormatString1(text, message, argument.c_str());
  return {.action = StartChoice::Action::kRefuse, .problem = text};
}

// Windows reads `\"` in a command line as a quote inside the argument, and
// the argument then runs on to the next quote: a .bat's `"%~dp0" || pause`
// or a shortcut's `"D:\Games\X\" --write` arrive as `D:\Games\X" ` and
// `D:\Games\X" --write`. No Windows file name holds a quote, so the folder
// ends there, and the words after it are the arguments that were meant.
std::vector<std::string> WithoutStrayQuotes(const std::vector<std::string>& arguments) {
#ifdef _WIN32
  std::vector<std::string> words;
  for (const std::string& argument : arguments) {
    const std::size_t quote = argument.find('"');
    words.push_back(argument.substr(0, quote));
    if (quote != std::string::npos) {
      std::istringstream rest(argument.substr(quote + 1));
      for (std::string word; rest >> word;) {
        words.push_back(word);
      }
    }
  }
  return words;
#else
  return arguments;
#endif
}

// `folder` (absolute) is a game's replay folder rather than the game folder:
// named `replay` (in any case on Windows, as its file systems compare names)
// and without a `replay` of its own. Its parent is meant then.
std::string GameFolderFor(const std::string& folder) {
  std::string name = folder.substr(ParentFolder(folder).size());
  if (!name.empty() && (name.front() == '/' || name.front() == kPathSeparator)) {
    name.erase(0, 1);
  }
#ifdef _WIN32
  for (char& c : name) {
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
#endif
  if (name != "replay" || HoldsReplayFolder(folder)) {
    return folder;
  }
  const std::string parent = ParentFolder(folder);
  // "C:" alone would be drive C's working folder, not its root.
  return !parent.empty() && parent.back() == ':' ? parent + kPathSeparator : parent;
}

}  // namespace

StartChoice ChooseStart(const std::vector<std::string>& arguments,
                        const std::string& programFolder) {
  if (arguments.size() == 1 && arguments[0] == "--help") {
    return {.action = StartChoice::Action::kHelp};
  }
  if (arguments.size() == 1 && arguments[0] == "--version") {
    return {.action = StartChoice::Action::kVersion};
  }
  StartChoice::Action action = StartChoice::Action::kRun;
  std::vector<std::string> folders;
  bool options = true;
  for (const std::string& argument : WithoutStrayQuotes(arguments)) {
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--write" && action == StartChoice::Action::kRun) {
      action = StartChoice::Action::kWrite;
    } else if (options && argument.starts_with('-')) {
      // Taken for a folder, `-h` would only be reported as missing.
      return Refuse(IDS_UNKNOWN_OPTION, argument);
    } else {
      folders.push_back(argument);
    }
  }

  if (folders.size() > 1) {
    std::string all;
    for (const std::string& folder : folders) {
      all += "「" + folder + "」";
    }
    return Refuse(IDS_TOO_MANY_ARGUMENTS, all);
  }
  if (folders.size() == 1) {
    switch (KindOfPath(folders[0])) {
      case PathKind::kMissing:
        return Refuse(IDS_FOLDER_NOT_FOUND, folders[0]);
      case PathKind::kOther:
        return Refuse(IDS_NOT_A_FOLDER, folders[0]);
      case PathKind::kFolder:
        return {.action = action, .folder = GameFolderFor(AbsolutePath(folders[0]))};
    }
  }

  const std::string working = GameFolderFor(AbsolutePath(""));
  if (!HoldsReplayFolder(working) && !programFolder.empty() && HoldsReplayFolder(programFolder)) {
    return {.action = action, .folder = programFolder};
  }
  return {.action = action, .folder = working};
}

}  // namespace chronolist
