// Reads the version resource back from the built Chronolist.exe with the
// Windows API, as Explorer's properties page does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/version.h"

namespace {

std::wstring Program() {
  const std::string path = CHRONOLIST_PROGRAM;
  return std::wstring(path.begin(), path.end());
}

class VersionInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(Program().c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in the program";
    block_.resize(size);
    ASSERT_TRUE(::GetFileVersionInfoW(Program().c_str(), 0, size, block_.data()));
  }

  std::wstring String(const wchar_t* name) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block_.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
      return L"<missing>";
    }
    return std::wstring(value);
  }

  std::vector<unsigned char> block_;
};

TEST_F(VersionInfo, FixedPart) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block_.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  // project(VERSION)'s four numbers, two to a DWORD.
  constexpr DWORD kVersion[] = {CHRONOLIST_VERSION_NUMBER};
  EXPECT_EQ(fixed->dwFileVersionMS, kVersion[0] << 16 | kVersion[1]);
  EXPECT_EQ(fixed->dwFileVersionLS, kVersion[2] << 16 | kVersion[3]);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
}

TEST_F(VersionInfo, JapaneseStringTable) {
  struct Translation {
    WORD language;
    WORD codePage;
  }* translations = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translations), &length));
  ASSERT_EQ(length, sizeof(Translation));
  EXPECT_EQ(translations->language, 0x0411);
  EXPECT_EQ(translations->codePage, 0x04B0);

  EXPECT_EQ(String(L"FileVersion"), L"" CHRONOLIST_VERSION_STRING);
  EXPECT_EQ(String(L"ProductVersion"), L"" CHRONOLIST_VERSION_STRING);
  EXPECT_EQ(String(L"FileDescription"), L"Chronolist");
  EXPECT_EQ(String(L"InternalName"), L"Chronolist");
  EXPECT_EQ(String(L"OriginalFilename"), L"Chronolist.EXE");
  // Explorer's copyright line: the About box's second line.
  EXPECT_EQ(String(L"LegalCopyright"), L"Copyright (C) 2026 Chronolist");
  // "Chronolist ｱﾌﾟﾘｹｰｼｮﾝ" in half-width katakana.
  EXPECT_EQ(String(L"ProductName"),
            L"Chronolist \uFF71\uFF8C\uFF9F\uFF98\uFF79\uFF70\uFF7C\uFF6E\uFF9D");
}

}  // namespace
