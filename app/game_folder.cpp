#include "app/game_folder.h"

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

// Windows reads `\"` in a command line as a quote inside the argument, so a
// shortcut's "D:\Games\X\" arrives as `D:\Games\X"`. No Windows file name
// holds a quote: it can only be that.
std::string WithoutStrayQuote(std::string argument) {
#ifdef _WIN32
  if (argument.size() > 1 && argument.back() == '"') {
    argument.pop_back();
  }
#endif
  return argument;
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
  for (const std::string& argument : arguments) {
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--write" && action == StartChoice::Action::kRun) {
      action = StartChoice::Action::kWrite;
    } else if (options && argument.starts_with('-')) {
      // Taken for a folder, `-h` would only be reported as missing.
      return Refuse(IDS_UNKNOWN_OPTION, argument);
    } else {
      folders.push_back(WithoutStrayQuote(argument));
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
