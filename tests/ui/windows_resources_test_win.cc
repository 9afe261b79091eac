// The resources the launcher carries: the dialog template, the manifest, the
// version information and, in a branded build, the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace javelin {
namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::string Resource(HMODULE module, const wchar_t* type, int id, WORD language = 0) {
  HRSRC found = language == 0 ? FindResourceW(module, MAKEINTRESOURCEW(id), type)
                              : FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const char* data = static_cast<const char*>(LockResource(loaded));
  return data == nullptr ? std::string() : std::string(data, SizeofResource(module, found));
}

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
  if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
    return L"(missing)";
  }
  return std::wstring(value, length > 0 ? length - 1 : 0);
}

// "1.0.0" as the four numbers of a version resource, "1.0.0.0".
std::wstring FourPartVersion(std::string version) {
  int dots = 0;
  for (char c : version) dots += c == '.';
  for (; dots < 3; ++dots) version += ".0";
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

    const std::string manifest = Resource(module, RT_MANIFEST, 1);
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "level=\"asInvoker\"", "PerMonitorV2", "true/pm",
                             "<longPathAware", ">true</longPathAware>",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}) {
      EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
    EXPECT_FALSE(
        Resource(module, RT_DIALOG, 201, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)).empty());
    EXPECT_EQ(!Resource(module, RT_GROUP_ICON, 1).empty(), c.icon);
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
    const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, c.version);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  }
}

}  // namespace
}  // namespace javelin
