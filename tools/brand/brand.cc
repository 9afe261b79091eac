#include "brand.h"

#include <algorithm>

#include "icon_file.h"
#include "manifest.h"
#include "pe_image.h"
#include "resource_tree.h"

namespace javelin::brand {
namespace {

constexpr uint16_t kDialogId = 201;
constexpr uint16_t kGerman = 0x0407;
constexpr uint16_t kNeutral = 0;

// The order in which the version strings are written.
const char16_t* const kStringOrder[] = {u"CompanyName",  u"FileDescription", u"FileVersion",
                                        u"InternalName", u"LegalCopyright",  u"OriginalFilename",
                                        u"ProductName",  u"ProductVersion"};

size_t OrderOf(const std::u16string& key) {
  const auto* end = std::end(kStringOrder);
  return static_cast<size_t>(std::find(std::begin(kStringOrder), end, key) -
                             std::begin(kStringOrder));
}

// Reads the headers and the resources of one of our launchers.
bool ReadLauncher(const Bytes& program, PeImage* image, uint32_t* rsrcRva, ResourceTable* resources,
                  std::string* error) {
  if (!ReadPeImage(program, image, error) ||
      !ResourceSectionAddress(*image, program, rsrcRva, error) ||
      !ReadResourceTree(program, *image, *rsrcRva, resources, error)) {
    return false;
  }
  if (FindResource(*resources, kDialogResource, kDialogId) == nullptr ||
      FindResource(*resources, kManifestResource, 1) == nullptr) {
    *error = "not a Javelin launcher (it lacks the launcher's dialog or manifest)";
    return false;
  }
  return true;
}

bool BrandVersion(ResourceTable* resources, const BrandOptions& options, std::string* error) {
  VersionInfo info;
  uint16_t language = kGerman;
  const bool existing = FindResource(*resources, kVersionResource, 1) != nullptr;
  if (existing) {
    const ResourceEntry* entry = FindResource(*resources, kVersionResource, 1);
    language = entry->id;
    if (!ReadVersionInfo(entry->data, &info, error)) return false;
  }
  std::optional<VersionNumbers> fileVersion = options.fileVersion,
                                productVersion = options.productVersion;
  // A new version resource gives both versions the one that was set.
  if (!existing && !fileVersion) fileVersion = productVersion;
  if (!existing && !productVersion) productVersion = fileVersion;
  if (fileVersion) {
    info.fileVersion = *fileVersion;
    info.Set(u"FileVersion", VersionText(*fileVersion));
  }
  if (productVersion) {
    info.productVersion = *productVersion;
    info.Set(u"ProductVersion", VersionText(*productVersion));
  }
  const std::pair<const std::optional<std::string>*, const char16_t*> texts[] = {
      {&options.company, u"CompanyName"},
      {&options.description, u"FileDescription"},
      {&options.internalName, u"InternalName"},
      {&options.copyright, u"LegalCopyright"},
      {&options.originalFilename, u"OriginalFilename"},
      {&options.productName, u"ProductName"}};
  for (const auto& [value, key] : texts) {
    if (*value) info.Set(key, Utf8ToUtf16(**value));
  }
  std::stable_sort(info.strings.begin(), info.strings.end(), [](const auto& a, const auto& b) {
    return OrderOf(a.first) < OrderOf(b.first);
  });
  Bytes data = WriteVersionInfo(info);
  // Every block records its length in 16 bits.
  if (data.size() > 0xFFFF) {
    *error = "the version texts are too long (64 KB at most together)";
    return false;
  }
  RemoveType(resources, kVersionResource);
  SetResource(resources, kVersionResource, 1, language, std::move(data));
  return true;
}

bool BrandManifest(ResourceTable* resources, const BrandOptions& options, std::string* error) {
  const ResourceEntry* entry = FindResource(*resources, kManifestResource, 1);
  std::string manifest(entry->data.begin(), entry->data.end());
  const uint16_t language = entry->id;
  if (options.executionLevel && !SetExecutionLevel(&manifest, *options.executionLevel, error))
    return false;
  if (options.dpiAware && !SetDpiAwareness(&manifest, *options.dpiAware, error)) return false;
  SetResource(resources, kManifestResource, 1, language, Bytes(manifest.begin(), manifest.end()));
  return true;
}

}  // namespace

bool BrandProgram(const Bytes& program, const BrandOptions& options, Bytes* out,
                  std::vector<std::string>* notes, std::string* error) {
  PeImage image;
  uint32_t rsrcRva = 0;
  ResourceTable resources;
  if (!ReadLauncher(program, &image, &rsrcRva, &resources, error)) return false;

  if (options.iconFile) {
    std::vector<IconImage> icons;
    if (!ReadIconFile(*options.iconFile, &icons, error)) return false;
    RemoveType(&resources, kIconResource);
    RemoveType(&resources, kGroupIconResource);
    for (size_t i = 0; i < icons.size(); ++i) {
      SetResource(&resources, kIconResource, static_cast<uint16_t>(i + 1), kNeutral, icons[i].data);
    }
    SetResource(&resources, kGroupIconResource, 1, kNeutral, IconGroup(icons, 1));
  }
  const bool versionOptions = options.productName || options.company || options.description ||
                              options.copyright || options.internalName ||
                              options.originalFilename || options.productVersion ||
                              options.fileVersion;
  if (versionOptions && !BrandVersion(&resources, options, error)) return false;
  if ((options.executionLevel || options.dpiAware) && !BrandManifest(&resources, options, error))
    return false;

  bool removedSignature = false;
  if (!ReplaceResourceSection(program, image, WriteResourceTree(resources, rsrcRva), out,
                              &removedSignature, error)) {
    return false;
  }
  if (removedSignature)
    notes->push_back("the signature was removed: sign the program after branding it");
  return true;
}

bool ReadBranding(const Bytes& program, VersionInfo* info, std::string* error) {
  PeImage image;
  uint32_t rsrcRva = 0;
  ResourceTable resources;
  if (!ReadLauncher(program, &image, &rsrcRva, &resources, error)) return false;
  const ResourceEntry* entry = FindResource(resources, kVersionResource, 1);
  *info = VersionInfo{};
  return entry == nullptr || ReadVersionInfo(entry->data, info, error);
}

}  // namespace javelin::brand
