// A fresh temporary folder that becomes the working directory for one test,
// as a game folder would be, and small helpers to lay files out in it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace chronolist::test {

class ScratchFolder {
 public:
  ScratchFolder() : previous_(std::filesystem::current_path()) {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const auto candidate = std::filesystem::temp_directory_path() /
                             ("chronolist-" + std::to_string(random()) + std::to_string(random()));
      // create_directory is false when the name is taken: try another.
      if (std::filesystem::create_directory(candidate)) {
        path_ = candidate;
      }
    }
    if (path_.empty()) {
      throw std::runtime_error("cannot create a scratch folder");
    }
    std::filesystem::current_path(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  if (file.has_parent_path()) {
    std::filesystem::create_directories(file.parent_path());
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + file.string());
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file of `size` bytes that takes no disk space: a hole from start to end.
inline void MakeSparseFile(const std::filesystem::path& file, std::uintmax_t size) {
  WriteBytes(file, "");
  std::filesystem::resize_file(file, size);
}

inline std::string ReplayFile(int room) {
  char name[32];
  std::snprintf(name, sizeof name, "replay/map%03d.bdb", room);
  return name;
}

// Rooms 111, 125 and 151 listed with times; 1 and 152 are read but not listed.
inline void LaySampleReplays() {
  WriteBytes(ReplayFile(1), std::string(100, 'x'));
  WriteBytes(ReplayFile(111), std::string(1875, 'x'));
  WriteBytes(ReplayFile(125), std::string(9000, '\x1a'));
  WriteBytes(ReplayFile(151), "");
  WriteBytes(ReplayFile(152), std::string(77, 'x'));
}

// Every name in the folder, so that stray temporary files show up.
inline std::vector<std::string> FolderEntries(const std::filesystem::path& folder = ".") {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace chronolist::test
