// The branding options of the build (name, company, description, copyright,
// version, file name and icon, and the manifest settings) reach the version
// information, the icon and the manifest of a launcher built with all of them
// set. The quote and the umlaut of the name show the texts are passed and
// encoded intact; the version is padded to four numbers.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "ui/display_check_win.h"

namespace javelin {
namespace {

TEST(WindowsResources, TheBrandingReachesTheVersionInformationAndTheIcon) {
  const std::wstring path = test::Wide(test::HostPath(JAVELIN_BRANDED_LAUNCHER));
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr) << GetLastError();
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
  HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                         SizeofResource(module, manifest));
  EXPECT_NE(text.find("level=\"highestAvailable\""), std::string::npos) << text;
  EXPECT_NE(text.find(">system</dpiAwareness>"), std::string::npos) << text;
  FreeLibrary(module);

  std::vector<char> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, info.size(), info.data()));
  for (const auto& [name, expected] : {std::pair{L"ProductName", L"Beispiel \"Pro\" \u00C4"},
                                       {L"CompanyName", L"Beispiel GmbH"},
                                       {L"FileDescription", L"Beispiel Starter"},
                                       {L"FileVersion", L"2.3.4.0"},
                                       {L"ProductVersion", L"2.3.4.0"},
                                       {L"OriginalFilename", L"beispiel.exe"},
                                       {L"InternalName", L"beispiel.exe"},
                                       {L"LegalCopyright", L"\u00A9 2026 Beispiel GmbH"}}) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
    ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
        << name;
    EXPECT_EQ(std::wstring(value, length > 0 ? length - 1 : 0), expected) << name;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 2));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 4));
}

}  // namespace
}  // namespace javelin
