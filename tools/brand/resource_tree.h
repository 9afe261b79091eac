// The resource directory of a PE image as a tree: type, name and language
// levels of tables whose leaves hold the data of one resource each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"
#include "pe_image.h"

namespace javelin::brand {

enum ResourceType : uint16_t {
  kIconResource = 3,
  kDialogResource = 5,
  kGroupIconResource = 14,
  kVersionResource = 16,
  kManifestResource = 24,
};

struct ResourceEntry;

struct ResourceTable {
  uint32_t characteristics = 0;
  uint32_t timeDateStamp = 0;
  uint16_t majorVersion = 0;
  uint16_t minorVersion = 0;
  std::vector<ResourceEntry> entries;
};

struct ResourceEntry {
  // Named entries have a non-empty `name`; the others are known by `id`.
  std::u16string name;
  uint16_t id = 0;
  bool isTable = false;
  ResourceTable table;  // when isTable
  Bytes data;           // otherwise
  uint32_t codePage = 0;
};

// Reads the tree whose root table is at `rootRva`. Fails with a one-line
// reason for offsets outside the image, loops and implausible sizes.
bool ReadResourceTree(const Bytes& file, const PeImage& image, uint32_t rootRva,
                      ResourceTable* root, std::string* error);

// Lays the tree out as the contents of a resource section at `sectionRva`:
// every table, then the data entries, the names and the data. Entries are
// written in the order Windows searches them (names, then ids ascending), so
// the same tree always gives the same bytes.
Bytes WriteResourceTree(const ResourceTable& root, uint32_t sectionRva);

// The data of resource type/id/any language (the first), or null.
const ResourceEntry* FindResource(const ResourceTable& root, uint16_t type, uint16_t id);
// The table of `type` under the root, created when missing.
ResourceTable* TypeTable(ResourceTable* root, uint16_t type);
// Removes every resource of `type`.
void RemoveType(ResourceTable* root, uint16_t type);
// Sets the data of type/id/language, creating the entries on the way.
void SetResource(ResourceTable* root, uint16_t type, uint16_t id, uint16_t language, Bytes data);

}  // namespace javelin::brand
