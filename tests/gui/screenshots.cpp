// Refreshes the documentation's picture of the dialog: runs the built program
// over a copy of the sample replays on a private Xvfb and saves its window.
// Usage: gui_screenshots DOCS_FOLDER
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

#include "app_process.h"
#include "x_driver.h"
#include "xvfb_session.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "chronolist-shots-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void Run(const fs::path& docs) {
  chronolist::gui::XvfbSession server;
  chronolist::gui::XDriver driver(server.Display());

  // A copy, so that nothing the program does can reach the repository's samples.
  TemporaryFolder game;
  fs::copy(CHRONOLIST_EXAMPLES, game.path(), fs::copy_options::recursive);

  chronolist::gui::AppProcess app({CHRONOLIST_PROGRAM},
                                  {.workingDirectory = game.path(),
                                   .environment = {{"DISPLAY", server.Display()},
                                                   {"WAYLAND_DISPLAY", std::nullopt},
                                                   {"GDK_BACKEND", std::nullopt},
                                                   {"NO_AT_BRIDGE", "1"}}});
  const chronolist::gui::WindowId dialog =
      driver.WaitForWindow("ChronolistEx", app.Pid(), 20s, [&] { return !app.Running(); });

  const fs::path picture = docs / "main-dialog.png";
  const fs::path partial = docs / "main-dialog.png.partial";
  driver.Screenshot(dialog, partial);
  fs::rename(partial, picture);
  std::cout << "wrote " << picture.string() << "\n";

  driver.SendKey(dialog, "Escape");
  if (app.WaitForExit(10s) != 1) {
    throw std::runtime_error("the dialog did not close on Escape; stderr:\n" + app.Stderr());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " DOCS_FOLDER\n";
    return 2;
  }
  try {
    Run(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << argv[0] << ": " << error.what() << "\n";
    return 1;
  }
  return 0;
}
