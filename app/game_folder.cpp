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

}  // namespace

StartChoice ChooseStart(const std::vector<std::string>& arguments,
                        const std::string& programFolder) {
  std::vector<std::string> folders = arguments;
  if (folders.size() == 1 && folders[0] == "--help") {
    return {.action = StartChoice::Action::kHelp};
  }
  if (folders.size() == 1 && folders[0] == "--version") {
    return {.action = StartChoice::Action::kVersion};
  }
  if (!folders.empty() && folders[0] == "--") {
    folders.erase(folders.begin());
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
        return {.folder = AbsolutePath(folders[0])};
    }
  }

  const std::string working = AbsolutePath("");
  if (!HoldsReplayFolder(working) && !programFolder.empty() && HoldsReplayFolder(programFolder)) {
    return {.folder = programFolder};
  }
  return {.folder = working};
}

}  // namespace chronolist
