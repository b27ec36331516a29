#include "literal_baseline.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "timelist/replay_scan.h"
#include "timelist/time_list_page.h"

namespace chronolist::bench {

namespace {

void Append(const char* format, const char* text) {
  if (FILE* file = std::fopen(kTimeListFileName, "at")) {
    std::fprintf(file, format, text);
    std::fclose(file);
  }
}

void Append(const char* format, int value) {
  if (FILE* file = std::fopen(kTimeListFileName, "at")) {
    std::fprintf(file, format, value);
    std::fclose(file);
  }
}

// ".\replay\map%03d.bdb", with this system's separator.
std::string ReplayPath(int room) {
  char path[32];
  std::snprintf(path, sizeof path, "replay/map%03d.bdb", room);
  return path;
}

}  // namespace

void LiteralScanReplays(RunTimeTable& table) {
  table.fill(kNoRun);
  for (int room = kFirstRoom; room <= kLastRoom; ++room) {
    FILE* file = std::fopen(ReplayPath(room).c_str(), "rb");
    if (file == nullptr) {
      continue;
    }
    std::int32_t count = 0;
    while (std::fgetc(file) != EOF) {
      ++count;
    }
    std::fclose(file);
    table[room] = count;
  }
}

void LiteralWriteTimeListPage(const RunTimeTable& table) {
  if (FILE* file = std::fopen(kTimeListFileName, "wt")) {
    std::fclose(file);
  }
  Append("%s", "<HTML><TITLE>TEMRA -ExtraRoom TimeList-</TITLE>");
  Append("%s", "<body bgcolor=\"#000000\" text=\"#CCCCCC\">");
  Append("%s", "<center><H2>TEMRA -ExtraRoom TimeList-</H2>");
  Append("%s", "<table width=\"50%\" border=\"1\">");
  Append("%s", "<TR><TD><CENTER>Room Number</CENTER></TD><TD><CENTER>Time</CENTER></TD></TR>");
  for (int room = kFirstExtraRoom; room <= kLastExtraRoom; ++room) {
    Append("%s", "<TR>");
    Append("%s", "<td width=\"50%\"><CENTER>");
    Append("%03d", room);
    Append("%s", "</CENTER></TD>");
    Append("%s", "<td width=\"50%\"><CENTER>");
    const std::int32_t f = table[room];
    if (f == kNoRun) {
      Append("%s", "None");
    } else {
      Append("%02d", SplitFrames::Minutes(f, kFramesPerSecond));
      Append("%s", ":");
      Append("%02d", SplitFrames::Seconds(f, kFramesPerSecond));
      Append("%s", ":");
      Append("%02d", SplitFrames::Frames(f, kFramesPerSecond));
    }
    Append("%s", "</CENTER></TD>");
    Append("%s", "</TR>");
  }
  Append("%s", "</TABLE>");
  Append("%s", "</center>");
  Append("%s", "</BODY></HTML>");
}

void DurableFloorGenerate() {
  RunTimeTable table;
  table.fill(kNoRun);
  for (int room = kFirstRoom; room <= kLastRoom; ++room) {
    const int file = ::open(ReplayPath(room).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (file >= 0 && ::fstat(file, &status) == 0 && S_ISREG(status.st_mode)) {
      table[room] = static_cast<std::int32_t>(status.st_size);
    }
    if (file >= 0) {
      ::close(file);
    }
  }
  const std::string page = BuildTimeListPage(table);
  const int temp = ::open(".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  if (::write(temp, page.data(), page.size()) != static_cast<ssize_t>(page.size()) ||
      ::fsync(temp) != 0) {
    std::perror("durable floor: write");
  }
  const std::string name = std::string(kTimeListFileName) + ".floor";
  const std::string fd = "/proc/self/fd/" + std::to_string(temp);
  if (::linkat(AT_FDCWD, fd.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0 ||
      ::rename(name.c_str(), kTimeListFileName) != 0) {
    std::perror("durable floor: link");
  }
  ::close(temp);
  const int folder = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ::fsync(folder);
  ::close(folder);
}

}  // namespace chronolist::bench
