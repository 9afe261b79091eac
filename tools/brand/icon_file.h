// Icon files (.ico): the images of every size they hold, and the icon group
// resource that lists them.
#pragma once

#include <string>
#include <vector>

#include "bytes.h"

namespace javelin::brand {

struct IconImage {
  Bytes header;  // the first 12 bytes of its directory entry (sizes, colours, planes, bits, length)
  Bytes data;    // a BMP without file header, or a PNG
};

// Reads an .ico file. Fails with a one-line reason for anything else
// (a cursor, a truncated file, an image that is neither a bitmap nor a PNG).
bool ReadIconFile(const Bytes& file, std::vector<IconImage>* images, std::string* error);

// The RT_GROUP_ICON data for `images` whose RT_ICON resources have the ids
// firstId, firstId + 1, ...
Bytes IconGroup(const std::vector<IconImage>& images, uint16_t firstId);

}  // namespace javelin::brand
