// The resources the launcher carries: the dialog template, the manifest, the
// version information and, in a branded build, the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/test_support.h"
#include "ui/display_check_win.h"

namespace javelin {
namespace {

using test::Wide;

std::string Manifest(HMODULE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
  const void* data = found ? LockResource(LoadResource(module, found)) : nullptr;
  return data ? std::string(static_cast<const char*>(data), SizeofResource(module, found)) : "";
}

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
  return VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)
             ? std::wstring(value, length > 0 ? length - 1 : 0)
             : L"(missing)";
}

// "1.0.0" as the four numbers of a version resource, "1.0.0.0".
std::wstring FourPartVersion(std::string version) {
  while (std::count(version.begin(), version.end(), '.') < 3) version += ".0";
  return std::wstring(version.begin(), version.end());
}

TEST(WindowsResources, LaunchersCarryManifestVersionDialogAndIcon) {
  const struct {
    std::u16string program;
    std::wstring productName, company, description, version, fileName;
    bool icon;
  } cases[] = {
      {test::LauncherPath(), L"Javelin", L"", L"Java application launcher",
       FourPartVersion(JAVELIN_PRODUCT_VERSION), L"javelin.exe", false},
      {test::HostPath(JAVELIN_BRANDED_LAUNCHER), L"Beispiel \"Pro\" \u00C4", L"Beispiel GmbH",
       L"Beispiel Starter", L"2.3.4.0", L"beispiel.exe", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.program));
    const std::wstring path = Wide(c.program);
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << GetLastError();

    const std::string manifest = Manifest(module);
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "level=\"asInvoker\"", "PerMonitorV2", "true/pm",
                             "<longPathAware", ">true</longPathAware>",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}) {
      EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
    EXPECT_NE(FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(201),
                              MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)), nullptr);
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON) != nullptr, c.icon);
    FreeLibrary(module);

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    EXPECT_EQ(VersionString(info, L"ProductName"), c.productName);
    EXPECT_EQ(VersionString(info, L"CompanyName"), c.company);
    EXPECT_EQ(VersionString(info, L"FileDescription"), c.description);
    EXPECT_EQ(VersionString(info, L"FileVersion"), c.version);
    EXPECT_EQ(VersionString(info, L"ProductVersion"), c.version);
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), c.fileName);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    wchar_t numbers[32];
    swprintf(numbers, 32, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
             LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
             LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, c.version);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  }
}

}  // namespace
}  // namespace javelin
