// Fuzzes javelin-brand's readers of programs, resource trees, version
// information and icon files. Whatever the bytes, reading never fails
// harshly; a program that reads is branded, and the result reads again
// with the same resources and the new product name. The input also serves
// as an icon file and as version information.
#include <cstddef>
#include <cstdint>
#include <string>

#include "brand.h"
#include "fuzz_check.h"
#include "icon_file.h"
#include "pe_image.h"
#include "resource_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace javelin::brand;
  const Bytes input(data, data + size);
  std::string error;

  std::vector<IconImage> icons;
  if (ReadIconFile(input, &icons, &error)) Check(!icons.empty());
  VersionInfo info;
  if (ReadVersionInfo(input, &info, &error)) {
    VersionInfo again;
    const Bytes written = WriteVersionInfo(info);
    if (written.size() <= 0xFFFF) {
      Check(ReadVersionInfo(written, &again, &error));
      Check(again.strings == info.strings && again.fileVersion == info.fileVersion);
    }
  }

  PeImage image;
  uint32_t rsrcRva = 0;
  ResourceTable resources;
  if (!ReadPeImage(input, &image, &error) ||
      !ResourceSectionAddress(image, input, &rsrcRva, &error) ||
      !ReadResourceTree(input, image, rsrcRva, &resources, &error)) {
    Check(!error.empty());
    return 0;
  }
  BrandOptions options;
  options.productName = "Fuzz";
  Bytes branded;
  std::vector<std::string> notes;
  if (!BrandProgram(input, options, &branded, &notes, &error)) return 0;
  PeImage brandedImage;
  ResourceTable brandedResources;
  Check(ReadPeImage(branded, &brandedImage, &error));
  Check(ReadResourceTree(branded, brandedImage, rsrcRva, &brandedResources, &error));
  Check(ReadBranding(branded, &info, &error) && info.Get(u"ProductName") != nullptr &&
        *info.Get(u"ProductName") == u"Fuzz");
  return 0;
}
