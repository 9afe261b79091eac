// javelin-brand on a small x64 program laid out as the linker lays out the
// launcher (code, resources, then relocations), with a signature behind it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "brand.h"
#include "icon_file.h"
#include "pe_image.h"
#include "resource_tree.h"
#include "support/test_support.h"

namespace javelin::brand {
namespace {

constexpr uint32_t kCodeRva = 0x1000, kResourceRva = 0x2000;
constexpr size_t kOptional = 0x58;

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string SourceFile(const char* relative) {
  return test::ReadFile(test::JoinPath(test::SourceDir(), FromUtf8(relative)));
}

ResourceTable LauncherResources() {
  ResourceTable resources;
  SetResource(&resources, kDialogResource, 201, 0x0407, FromText("dialog template"));
  SetResource(&resources, kManifestResource, 1, 0x0409,
              FromText(SourceFile("res/javelin.manifest")));
  ResourceEntry named;
  named.name = u"Extra";
  named.isTable = true;
  ResourceEntry language;
  language.data = FromText("named resource");
  named.table.entries.push_back(language);
  TypeTable(&resources, 10)->entries.push_back(named);
  return resources;
}

Bytes Filled(size_t size, uint8_t seed) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

// Headers, .text, .rsrc, .reloc and, when `signature` is not empty, a
// certificate table behind the sections.
Bytes MakeProgram(const ResourceTable& resources, const Bytes& signature) {
  Bytes rsrc = WriteResourceTree(resources, kResourceRva);
  PadTo(&rsrc, 0x200);
  const uint32_t relocRva = AlignUp(kResourceRva + static_cast<uint32_t>(rsrc.size()), 0x1000);
  Bytes file(0x400);
  file[0] = 'M';
  file[1] = 'Z';
  Write32(&file, 0x3C, 0x40);
  Write32(&file, 0x40, 0x00004550);
  Write16(&file, 0x44, 0x8664);
  Write16(&file, 0x46, 3);
  Write16(&file, 0x54, 240);
  Write16(&file, kOptional, 0x20B);
  Write32(&file, kOptional + 32, 0x1000);
  Write32(&file, kOptional + 36, 0x200);
  Write32(&file, kOptional + 56, relocRva + 0x1000);
  Write32(&file, kOptional + 60, 0x400);
  Write32(&file, kOptional + 108, 16);
  const struct {
    const char* name;
    uint32_t rva;
    Bytes data;
  } sections[] = {{".text", kCodeRva, Filled(0x200, 1)},
                  {".rsrc", kResourceRva, rsrc},
                  {".reloc", relocRva, Filled(0x200, 2)}};
  for (size_t i = 0; i < 3; ++i) {
    const size_t header = kOptional + 240 + 40 * i;
    std::copy_n(sections[i].name, std::char_traits<char>::length(sections[i].name), &file[header]);
    Write32(&file, header + 8, static_cast<uint32_t>(sections[i].data.size()));
    Write32(&file, header + 12, sections[i].rva);
    Write32(&file, header + 16, static_cast<uint32_t>(sections[i].data.size()));
    Write32(&file, header + 20, static_cast<uint32_t>(file.size()));
    Write32(&file, header + 36, 0x40000040);
    file.insert(file.end(), sections[i].data.begin(), sections[i].data.end());
  }
  Write32(&file, kOptional + 112 + 8 * kResourceDirectory, kResourceRva);
  Write32(&file, kOptional + 112 + 8 * kResourceDirectory + 4, static_cast<uint32_t>(rsrc.size()));
  Write32(&file, kOptional + 112 + 8 * kRelocationDirectory, relocRva);
  Write32(&file, kOptional + 112 + 8 * kRelocationDirectory + 4, 0x10);
  if (!signature.empty()) {
    Write32(&file, kOptional + 112 + 8 * kCertificateDirectory, static_cast<uint32_t>(file.size()));
    Write32(&file, kOptional + 112 + 8 * kCertificateDirectory + 4,
            static_cast<uint32_t>(signature.size()));
    file.insert(file.end(), signature.begin(), signature.end());
  }
  return file;
}

Bytes BrandedIcon() { return FromText(SourceFile("tests/ui/branded.ico")); }

BrandOptions EveryOption() {
  BrandOptions options;
  options.iconFile = BrandedIcon();
  options.productName = "Hallo \xC3\x84rger";  // "Hallo Ärger"
  options.company = "Beispiel GmbH";
  options.description = "Hallo Starter";
  options.copyright = "\xC2\xA9 2026 Beispiel";
  options.internalName = "hallo";
  options.originalFilename = "hallo.exe";
  options.productVersion = VersionNumbers{2, 3, 0, 0};
  options.fileVersion = VersionNumbers{2, 3, 1, 0};
  options.executionLevel = "requireAdministrator";
  options.dpiAware = "unaware";
  return options;
}

TEST(Brand, WritesTheBrandingKeepsEverythingElseAndIsRepeatable) {
  const Bytes program = MakeProgram(LauncherResources(), FromText("signature bytes!"));
  Bytes branded;
  std::vector<std::string> notes;
  std::string error;
  ASSERT_TRUE(BrandProgram(program, EveryOption(), &branded, &notes, &error)) << error;
  EXPECT_EQ(notes.size(), 1u);

  PeImage image;
  ASSERT_TRUE(ReadPeImage(branded, &image, &error)) << error;
  ResourceTable resources;
  ASSERT_TRUE(ReadResourceTree(branded, image, kResourceRva, &resources, &error)) << error;

  // The code stays where it was; the relocations move up behind the grown
  // resources, unchanged, and the headers follow them.
  EXPECT_TRUE(
      std::equal(program.begin() + 0x400, program.begin() + 0x600, branded.begin() + 0x400));
  const PeSection& reloc = image.sections[2];
  EXPECT_GT(reloc.virtualAddress,
            image.sections[1].virtualAddress + image.sections[1].virtualSize - 1);
  EXPECT_EQ(image.Directory(kRelocationDirectory, branded).address, reloc.virtualAddress);
  EXPECT_EQ(Bytes(branded.begin() + reloc.rawPointer, branded.begin() + reloc.rawPointer + 0x200),
            Filled(0x200, 2));
  uint32_t sizeOfImage = 0, checksum = 0;
  Read32(branded, kOptional + 56, &sizeOfImage);
  Read32(branded, image.checksumOffset, &checksum);
  EXPECT_EQ(sizeOfImage, reloc.virtualAddress + 0x1000);
  EXPECT_EQ(checksum, ComputePeChecksum(branded, image.checksumOffset));
  // The signature is gone: the file ends with the relocations.
  EXPECT_EQ(image.Directory(kCertificateDirectory, branded).size, 0u);
  EXPECT_EQ(branded.size(), reloc.rawPointer + 0x200u);

  EXPECT_EQ(FindResource(resources, kDialogResource, 201)->data, FromText("dialog template"));
  const ResourceEntry& named = TypeTable(&resources, 10)->entries.at(0);
  EXPECT_EQ(named.name, u"Extra");
  EXPECT_EQ(named.table.entries.at(0).data, FromText("named resource"));
  std::vector<IconImage> icons;
  ASSERT_TRUE(ReadIconFile(BrandedIcon(), &icons, &error));
  EXPECT_EQ(FindResource(resources, kIconResource, static_cast<uint16_t>(icons.size()))->data,
            icons.back().data);
  EXPECT_EQ(FindResource(resources, kGroupIconResource, 1)->data, IconGroup(icons, 1));
  const Bytes& manifest = FindResource(resources, kManifestResource, 1)->data;
  const std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(text.find(">false</dpiAware>"), std::string::npos);
  EXPECT_NE(text.find(">unaware</dpiAwareness>"), std::string::npos);

  VersionInfo info;
  ASSERT_TRUE(ReadBranding(branded, &info, &error)) << error;
  EXPECT_EQ(info.fileVersion, (VersionNumbers{2, 3, 1, 0}));
  EXPECT_EQ(info.productVersion, (VersionNumbers{2, 3, 0, 0}));
  const std::vector<std::pair<std::u16string, std::u16string>> expected = {
      {u"CompanyName", u"Beispiel GmbH"},
      {u"FileDescription", u"Hallo Starter"},
      {u"FileVersion", u"2.3.1.0"},
      {u"InternalName", u"hallo"},
      {u"LegalCopyright", u"\u00A9 2026 Beispiel"},
      {u"OriginalFilename", u"hallo.exe"},
      {u"ProductName", u"Hallo \u00C4rger"},
      {u"ProductVersion", u"2.3.0.0"}};
  EXPECT_EQ(info.strings, expected);

  // Branding the branded program again changes nothing; branding it with
  // one option keeps the other strings.
  Bytes again;
  ASSERT_TRUE(BrandProgram(branded, EveryOption(), &again, &notes, &error)) << error;
  EXPECT_EQ(again, branded);
  BrandOptions nameOnly;
  nameOnly.productName = "Other";
  ASSERT_TRUE(BrandProgram(branded, nameOnly, &again, &notes, &error)) << error;
  ASSERT_TRUE(ReadBranding(again, &info, &error)) << error;
  EXPECT_EQ(*info.Get(u"ProductName"), u"Other");
  EXPECT_EQ(*info.Get(u"CompanyName"), u"Beispiel GmbH");
}

// A section without file data may name any file offset; it must neither
// cut the file nor break the section order of the branded program.
TEST(Brand, ASectionWithoutFileDataMayPointAnywhere) {
  Bytes program = MakeProgram(LauncherResources(), {});
  const size_t relocHeader = kOptional + 240 + 40 * 2;
  Write32(&program, relocHeader + 16, 0);
  Write32(&program, relocHeader + 20, 0x7FFFFF00);
  program.resize(program.size() - 0x200);
  BrandOptions options;
  options.productName = "x";
  Bytes branded, again;
  std::vector<std::string> notes;
  std::string error;
  ASSERT_TRUE(BrandProgram(program, options, &branded, &notes, &error)) << error;
  ASSERT_TRUE(BrandProgram(branded, options, &again, &notes, &error)) << error;
  EXPECT_EQ(again, branded);
}

TEST(Brand, RefusesWhatItCannotBrand) {
  const Bytes program = MakeProgram(LauncherResources(), {});
  ResourceTable withoutDialog = LauncherResources();
  RemoveType(&withoutDialog, kDialogResource);
  Bytes cursor = BrandedIcon();
  cursor[2] = 2;
  Bytes cutIcon = BrandedIcon();
  cutIcon.resize(cutIcon.size() - 1);
  const struct {
    const char* what;
    Bytes program;
    Bytes icon;
    const char* error;
  } cases[] = {
      {"a text file", FromText("#!/bin/sh\necho hello\n"), {}, "not a PE image"},
      {"a truncated program",
       Bytes(program.begin(), program.begin() + 0x700),
       {},
       "truncated file"},
      {"another program", MakeProgram(withoutDialog, {}), {}, "not a Javelin launcher"},
      {"a cursor as icon", program, cursor, "not an icon file"},
      {"a truncated icon", program, cutIcon, "truncated icon file"},
      {"a PNG as icon", program, FromText("\x89PNG\r\n\x1A\n...."), "not an icon file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BrandOptions options;
    options.productName = "x";
    if (!c.icon.empty()) options.iconFile = c.icon;
    Bytes out;
    std::vector<std::string> notes;
    std::string error;
    EXPECT_FALSE(BrandProgram(c.program, options, &out, &notes, &error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(Brand, VersionsAreOneToFourNumbersFilledWithZeros) {
  const std::pair<const char*, std::optional<VersionNumbers>> cases[] = {
      {"2", VersionNumbers{2, 0, 0, 0}},
      {"1.2.3", VersionNumbers{1, 2, 3, 0}},
      {"65535.0.0.1", VersionNumbers{65535, 0, 0, 1}},
      {"65536", std::nullopt},
      {"1.2.3.4.5", std::nullopt},
      {"1..2", std::nullopt},
      {"", std::nullopt},
      {"1.2-beta", std::nullopt}};
  for (const auto& [text, expected] : cases) {
    VersionNumbers numbers{};
    EXPECT_EQ(ParseVersionNumbers(text, &numbers), expected.has_value()) << text;
    if (expected) {
      EXPECT_EQ(numbers, *expected) << text;
    }
  }
}

// The command: a failure leaves the input as it was and says why in one
// line; a success rewrites the file in place.
TEST(Brand, TheCommandRewritesInPlaceOrLeavesTheInputAlone) {
  test::TempDir dir;
  const Bytes program = MakeProgram(LauncherResources(), {});
  const std::string whole(program.begin(), program.end());
  const std::u16string truncated = dir / u"cut.exe", good = dir / u"good.exe";
  test::WriteFile(truncated, whole.substr(0, 0x700));
  test::WriteFile(good, whole);
  const std::u16string tool = test::HostPath(JAVELIN_BRAND_TOOL);

  test::ProcessResult result = test::RunProgram(tool, {truncated, u"--product-name", u"x"});
  EXPECT_NE(result.exitCode, 0);
  EXPECT_NE(result.errors.find("truncated file"), std::string::npos) << result.errors;
  EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
  EXPECT_EQ(test::ReadFile(truncated), whole.substr(0, 0x700));

  result =
      test::RunProgram(tool, {good, u"--product-name", u"Hallo", u"--product-version", u"3.1"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_NE(test::ReadFile(good), whole);
  EXPECT_FALSE(test::FileExists(good + u".brand-tmp"));
  result = test::RunProgram(tool, {good, u"--show"});
  // Windows writes its text lines with CR LF.
  result.output.erase(std::remove(result.output.begin(), result.output.end(), '\r'),
                      result.output.end());
  EXPECT_NE(result.output.find("ProductName=Hallo\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("ProductVersion=3.1.0.0\n"), std::string::npos) << result.output;
}

}  // namespace
}  // namespace javelin::brand
