// The branding options of the build (name, company, description, version,
// file name and icon) reach the launcher's version information and icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/test_support.h"
#include "ui/display_check_win.h"

namespace javelin {
namespace {

TEST(WindowsResources, TheBrandingReachesTheVersionInformationAndTheIcon) {
  std::wstring version = test::Wide(FromUtf8(JAVELIN_PRODUCT_VERSION));  // "1.0.0" becomes "1.0.0.0"
  while (std::count(version.begin(), version.end(), L'.') < 3) version += L".0";
  const struct {
    std::u16string program;
    std::wstring productName, company, description, version, fileName;
    bool icon;
  } cases[] = {
      {test::LauncherPath(), L"Javelin", L"", L"Java application launcher", version, L"javelin.exe", false},
      {test::HostPath(JAVELIN_BRANDED_LAUNCHER), L"Beispiel \"Pro\" \u00C4", L"Beispiel GmbH", L"Beispiel Starter",
       L"2.3.4.0", L"beispiel.exe", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.program));
    const std::wstring path = test::Wide(c.program);
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << GetLastError();
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON) != nullptr, c.icon);
    FreeLibrary(module);

    std::vector<char> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, info.size(), info.data()));
    for (const auto& [name, expected] : {std::pair{L"ProductName", c.productName}, {L"CompanyName", c.company},
                                         {L"FileDescription", c.description}, {L"FileVersion", c.version},
                                         {L"ProductVersion", c.version}, {L"OriginalFilename", c.fileName}}) {
      wchar_t* value = nullptr;
      UINT length = 0;
      const std::wstring key = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
      ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) << name;
      EXPECT_EQ(std::wstring(value, length > 0 ? length - 1 : 0), expected) << name;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    wchar_t numbers[32];
    swprintf(numbers, 32, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
             HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, c.version);
  }
}

}  // namespace
}  // namespace javelin
