#include "icon_file.h"

#include <cstring>

namespace javelin::brand {

bool ReadIconFile(const Bytes& file, std::vector<IconImage>* images, std::string* error) {
  uint16_t reserved = 1, type = 0, count = 0;
  if (!Read16(file, 0, &reserved) || !Read16(file, 2, &type) || !Read16(file, 4, &count) ||
      reserved != 0 || type != 1) {
    *error = "not an icon file (.ico)";
    return false;
  }
  if (count == 0) {
    *error = "the icon file holds no image";
    return false;
  }
  if (file.size() < 6 + 16u * count) {
    *error = "truncated icon file";
    return false;
  }
  std::vector<IconImage> result;
  for (uint16_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16u * i;
    uint32_t length = 0, offset = 0;
    Read32(file, entry + 8, &length);
    Read32(file, entry + 12, &offset);
    if (length == 0 || offset > file.size() || file.size() - offset < length) {
      *error =
          "truncated icon file: image " + std::to_string(i + 1) + " ends after the end of the file";
      return false;
    }
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint32_t headerSize = 0;
    const bool png = length >= sizeof kPng && std::memcmp(&file[offset], kPng, sizeof kPng) == 0;
    if (!png && (!Read32(file, offset, &headerSize) || headerSize < 40 || length < 40)) {
      *error = "icon image " + std::to_string(i + 1) + " is neither a bitmap nor a PNG";
      return false;
    }
    IconImage image;
    image.header.assign(file.begin() + entry, file.begin() + entry + 12);
    image.data.assign(file.begin() + offset, file.begin() + offset + length);
    result.push_back(std::move(image));
  }
  *images = std::move(result);
  return true;
}

Bytes IconGroup(const std::vector<IconImage>& images, uint16_t firstId) {
  Bytes group;
  Put16(&group, 0);
  Put16(&group, 1);
  Put16(&group, static_cast<uint16_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    group.insert(group.end(), images[i].header.begin(), images[i].header.begin() + 8);
    Put32(&group, static_cast<uint32_t>(images[i].data.size()));
    Put16(&group, static_cast<uint16_t>(firstId + i));
  }
  return group;
}

}  // namespace javelin::brand
