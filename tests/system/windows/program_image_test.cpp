// The release Chronolist.exe as Windows reads it: the manifest through the
// activation-context API, the language of every resource, and no debug
// information or symbols in the file.
#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::wstring Wide(const std::string& path) {
  return std::wstring(path.begin(), path.end());
}

const std::wstring kProgram = Wide(CHRONOLIST_PROGRAM);

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Manifest : public ::testing::Test {
 protected:
  void SetUp() override {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = kProgram.c_str();
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    context_ = ::CreateActCtxW(&request);
    ASSERT_NE(context_, INVALID_HANDLE_VALUE)
        << "the loader does not accept the manifest: error " << ::GetLastError();
  }
  void TearDown() override {
    if (context_ != INVALID_HANDLE_VALUE) {
      ::ReleaseActCtx(context_);
    }
  }

  std::wstring Setting(const wchar_t* space, const wchar_t* name) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    if (!::QueryActCtxSettingsW(0, context_, space, name, value, 64, &written)) {
      return L"<missing>";
    }
    return value;
  }

  HANDLE context_ = INVALID_HANDLE_VALUE;
};

TEST_F(Manifest, IsTheCommittedFile) {
  HMODULE image = ::LoadLibraryExW(kProgram.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  HRSRC found = ::FindResourceExW(image, RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID,
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  ASSERT_NE(found, nullptr) << "no Japanese manifest resource 1";
  const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(image, found)));
  const std::string embedded(bytes, ::SizeofResource(image, found));
  ::FreeLibrary(image);
  EXPECT_EQ(embedded, ReadFile(CHRONOLIST_MANIFEST));
}

TEST_F(Manifest, RunsAsInvokerWithoutVirtualisation) {
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
  ASSERT_TRUE(::QueryActCtxW(0, context_, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, nullptr));
  EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
  EXPECT_EQ(level.UiAccess, 0u);
}

TEST_F(Manifest, AsksForPerMonitorV2WithTheOlderFallback) {
  EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2");
  EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            L"true");
}

TEST_F(Manifest, NamesWindows7To11) {
  std::vector<unsigned char> info(4096);
  SIZE_T size = 0;
  ASSERT_TRUE(::QueryActCtxW(0, context_, nullptr, CompatibilityInformationInActivationContext,
                             info.data(), info.size(), &size));
  info.resize(size);
  DWORD count = 0;
  std::memcpy(&count, info.data(), sizeof count);
  EXPECT_EQ(count, 4u);
  // The elements' layout differs between SDKs (a later one added a field);
  // the GUIDs' bytes are the same in all of them.
  auto holds = [&](const wchar_t* text) {
    GUID id{};
    ::CLSIDFromString(text, &id);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&id);
    return std::search(info.begin(), info.end(), bytes, bytes + sizeof id) != info.end();
  };
  EXPECT_TRUE(holds(L"{35138B9A-5D96-4FBD-8E2D-A2440225F93A}")) << "Windows 7";
  EXPECT_TRUE(holds(L"{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}")) << "Windows 8";
  EXPECT_TRUE(holds(L"{1F676C76-80E1-4239-95BB-83D0F6D0DA78}")) << "Windows 8.1";
  EXPECT_TRUE(holds(L"{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}")) << "Windows 10 and 11";
}

// comctl32 comes from the side-by-side assembly of version 6, not from
// system32 (Wine's reports 5.81 from DllGetVersion either way).
TEST_F(Manifest, BringsCommonControlsSix) {
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(::ActivateActCtx(context_, &cookie));
  HMODULE controls = ::LoadLibraryW(L"comctl32.dll");
  ::DeactivateActCtx(0, cookie);
  ASSERT_NE(controls, nullptr);
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(controls, path, MAX_PATH);
  std::wstring lower(path);
  std::transform(lower.begin(), lower.end(), lower.begin(), ::towlower);
  EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << lower;
  EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
            std::wstring::npos)
      << lower;
}

// Every resource of the program is Japanese, as the version block says.
TEST(Resources, AreAllJapanese) {
  HMODULE image = ::LoadLibraryExW(kProgram.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  using Entry = std::tuple<ULONG_PTR, ULONG_PTR, WORD>;
  std::set<Entry> entries;
  struct Walk {
    std::set<Entry>* entries;
    ULONG_PTR type;
  } walk{&entries, 0};
  ::EnumResourceTypesW(
      image,
      [](HMODULE module, LPWSTR type, LONG_PTR parameter) -> BOOL {
        auto& walk = *reinterpret_cast<Walk*>(parameter);
        walk.type = reinterpret_cast<ULONG_PTR>(type);
        ::EnumResourceNamesW(
            module, type,
            [](HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR parameter) -> BOOL {
              auto& walk = *reinterpret_cast<Walk*>(parameter);
              struct Named {
                Walk* walk;
                ULONG_PTR name;
              } named{&walk, reinterpret_cast<ULONG_PTR>(name)};
              ::EnumResourceLanguagesW(
                  module, type, name,
                  [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR parameter) -> BOOL {
                    auto& named = *reinterpret_cast<Named*>(parameter);
                    named.walk->entries->emplace(named.walk->type, named.name, language);
                    return TRUE;
                  },
                  reinterpret_cast<LONG_PTR>(&named));
              return TRUE;
            },
            parameter);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&walk));
  // The 256 px image is a PNG, the only form Windows reads at that size.
  HRSRC large = ::FindResourceW(image, MAKEINTRESOURCEW(7), RT_ICON);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(std::memcmp(::LockResource(::LoadResource(image, large)), "\x89PNG\r\n\x1a\n", 8), 0);
  ::FreeLibrary(image);

  auto id = [](LPCWSTR resource) { return reinterpret_cast<ULONG_PTR>(resource); };
  constexpr WORD kJapanese = 0x0411;
  EXPECT_EQ(entries, (std::set<Entry>{
                         {id(RT_ICON), 1, kJapanese},
                         {id(RT_ICON), 2, kJapanese},
                         {id(RT_ICON), 3, kJapanese},
                         {id(RT_ICON), 4, kJapanese},
                         {id(RT_ICON), 5, kJapanese},
                         {id(RT_ICON), 6, kJapanese},
                         {id(RT_ICON), 7, kJapanese},
                         {id(RT_GROUP_ICON), 128, kJapanese},
                         {id(RT_VERSION), 1, kJapanese},
                         {id(RT_MANIFEST), 1, kJapanese},
                     }));
}

// What `make windows` delivers: no DWARF sections and no COFF symbol table,
// which the static C++ runtime would otherwise bring along; and the flag
// that spares it Remote Desktop's shims.
TEST(ReleaseImage, CarriesNoDebugInformationAndIsTerminalServerAware) {
  const std::string file = ReadFile(CHRONOLIST_PROGRAM);
  ASSERT_GT(file.size(), 0x40u);
  auto read32 = [&](std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, file.data() + at, sizeof value);
    return value;
  };
  auto read16 = [&](std::size_t at) {
    std::uint16_t value = 0;
    std::memcpy(&value, file.data() + at, sizeof value);
    return value;
  };
  const std::size_t pe = read32(0x3C);
  ASSERT_EQ(file.compare(pe, 4, std::string("PE\0\0", 4)), 0);
  const std::size_t coff = pe + 4;
  EXPECT_EQ(read32(coff + 8), 0u) << "a COFF symbol table";
  EXPECT_EQ(read32(coff + 12), 0u) << "COFF symbols";
  EXPECT_NE(read16(coff + 20 + 70) & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE, 0);
  const unsigned sections = read16(coff + 2);
  const std::size_t table = coff + 20 + read16(coff + 16);
  ASSERT_LE(table + sections * 40u, file.size());
  std::vector<std::string> names;
  for (unsigned i = 0; i < sections; ++i) {
    const char* name = file.data() + table + i * 40u;
    names.emplace_back(name, strnlen(name, 8));
  }
  for (const std::string& name : names) {
    // "/4" and the like are long names, kept in the symbol table's strings.
    EXPECT_FALSE(name.starts_with(".debug") || name.starts_with("/")) << name;
  }
  EXPECT_NE(std::find(names.begin(), names.end(), ".text"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), ".rsrc"), names.end());
}

}  // namespace
