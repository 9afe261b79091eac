#include "resource_tree.h"

#include <algorithm>
#include <deque>

namespace javelin::brand {
namespace {

constexpr uint32_t kSubdirectoryFlag = 0x80000000;
constexpr uint32_t kNameFlag = 0x80000000;
constexpr int kMaximumDepth = 8;
constexpr size_t kMaximumEntries = 65536;

struct Reader {
  const Bytes& file;
  const PeImage& image;
  uint32_t sectionRva;
  size_t entries = 0;
  size_t dataBytes = 0;
  std::string* error;

  bool Fail(const std::string& reason) {
    *error = "broken resource directory: " + reason;
    return false;
  }

  bool ReadName(uint32_t offset, std::u16string* name) {
    size_t at = 0;
    uint16_t length = 0;
    if (!image.FileOffset(sectionRva + offset, 2, &at) || !Read16(file, at, &length) ||
        !image.FileOffset(sectionRva + offset, 2 + 2u * length, &at)) {
      return Fail("a name lies outside the image");
    }
    if (length == 0) return Fail("an empty name");
    for (uint16_t i = 0; i < length; ++i) {
      uint16_t unit = 0;
      Read16(file, at + 2 + 2u * i, &unit);
      name->push_back(static_cast<char16_t>(unit));
    }
    return true;
  }

  bool ReadTable(uint32_t offset, int depth, ResourceTable* table) {
    if (depth > kMaximumDepth) return Fail("tables nest too deeply");
    size_t at = 0;
    if (offset > UINT32_MAX - sectionRva || !image.FileOffset(sectionRva + offset, 16, &at)) {
      return Fail("a table lies outside the image");
    }
    uint16_t named = 0, numbered = 0;
    Read32(file, at, &table->characteristics);
    Read32(file, at + 4, &table->timeDateStamp);
    Read16(file, at + 8, &table->majorVersion);
    Read16(file, at + 10, &table->minorVersion);
    Read16(file, at + 12, &named);
    Read16(file, at + 14, &numbered);
    const uint32_t count = static_cast<uint32_t>(named) + numbered;
    entries += count;
    if (entries > kMaximumEntries) return Fail("too many entries");
    if (!image.FileOffset(sectionRva + offset, 16 + 8 * count, &at))
      return Fail("a table lies outside the image");
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t nameField = 0, target = 0;
      Read32(file, at + 16 + 8 * i, &nameField);
      Read32(file, at + 20 + 8 * i, &target);
      ResourceEntry entry;
      if (nameField & kNameFlag) {
        if (!ReadName(nameField & ~kNameFlag, &entry.name)) return false;
      } else if (nameField > 0xFFFF) {
        return Fail("an id above 65535");
      } else {
        entry.id = static_cast<uint16_t>(nameField);
      }
      entry.isTable = (target & kSubdirectoryFlag) != 0;
      if (entry.isTable) {
        if (!ReadTable(target & ~kSubdirectoryFlag, depth + 1, &entry.table)) return false;
      } else if (!ReadData(target, &entry)) {
        return false;
      }
      table->entries.push_back(std::move(entry));
    }
    return true;
  }

  bool ReadData(uint32_t offset, ResourceEntry* entry) {
    size_t at = 0;
    if (offset > UINT32_MAX - sectionRva || !image.FileOffset(sectionRva + offset, 16, &at)) {
      return Fail("a data entry lies outside the image");
    }
    uint32_t rva = 0, size = 0;
    Read32(file, at, &rva);
    Read32(file, at + 4, &size);
    Read32(file, at + 8, &entry->codePage);
    dataBytes += size;
    if (dataBytes > file.size()) return Fail("the data is larger than the file");
    if (size == 0) return true;
    if (!image.FileOffset(rva, size, &at)) return Fail("resource data lies outside the image");
    entry->data.assign(file.begin() + at, file.begin() + at + size);
    return true;
  }
};

bool ComesBefore(const ResourceEntry& left, const ResourceEntry& right) {
  if (left.name.empty() != right.name.empty()) return !left.name.empty();
  if (left.name.empty()) return left.id < right.id;
  auto upper = [](char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
  };
  return std::lexicographical_compare(left.name.begin(), left.name.end(), right.name.begin(),
                                      right.name.end(),
                                      [&](char16_t a, char16_t b) { return upper(a) < upper(b); });
}

std::vector<const ResourceEntry*> SortedEntries(const ResourceTable& table) {
  std::vector<const ResourceEntry*> sorted;
  for (const ResourceEntry& entry : table.entries) sorted.push_back(&entry);
  std::stable_sort(
      sorted.begin(), sorted.end(),
      [](const ResourceEntry* a, const ResourceEntry* b) { return ComesBefore(*a, *b); });
  return sorted;
}

ResourceEntry* FindEntry(ResourceTable* table, uint16_t id) {
  for (ResourceEntry& entry : table->entries) {
    if (entry.name.empty() && entry.id == id) return &entry;
  }
  return nullptr;
}

}  // namespace

bool ReadResourceTree(const Bytes& file, const PeImage& image, uint32_t rootRva,
                      ResourceTable* root, std::string* error) {
  Reader reader{file, image, rootRva, 0, 0, error};
  ResourceTable table;
  if (!reader.ReadTable(0, 0, &table)) return false;
  *root = std::move(table);
  return true;
}

Bytes WriteResourceTree(const ResourceTable& root, uint32_t sectionRva) {
  // Breadth-first: the tables in the order they are written.
  std::vector<const ResourceTable*> tables{&root};
  for (size_t i = 0; i < tables.size(); ++i) {
    for (const ResourceEntry* entry : SortedEntries(*tables[i])) {
      if (entry->isTable) tables.push_back(&entry->table);
    }
  }
  std::vector<uint32_t> tableOffsets;
  uint32_t size = 0;
  for (const ResourceTable* table : tables) {
    tableOffsets.push_back(size);
    size += 16 + 8 * static_cast<uint32_t>(table->entries.size());
  }
  std::vector<const ResourceEntry*> leaves;
  std::vector<const ResourceEntry*> named;
  for (const ResourceTable* table : tables) {
    for (const ResourceEntry* entry : SortedEntries(*table)) {
      if (!entry->isTable) leaves.push_back(entry);
      if (!entry->name.empty()) named.push_back(entry);
    }
  }
  const uint32_t dataEntriesOffset = size;
  size += 16 * static_cast<uint32_t>(leaves.size());
  std::vector<uint32_t> nameOffsets;
  for (const ResourceEntry* entry : named) {
    nameOffsets.push_back(size);
    size += 2 + 2 * static_cast<uint32_t>(entry->name.size());
  }
  size = AlignUp(size, 8);
  std::vector<uint32_t> dataOffsets;
  for (const ResourceEntry* leaf : leaves) {
    dataOffsets.push_back(size);
    size = AlignUp(size + static_cast<uint32_t>(leaf->data.size()), 8);
  }

  auto indexOf = [](const auto& list, const auto* item) {
    return static_cast<size_t>(std::find(list.begin(), list.end(), item) - list.begin());
  };
  Bytes out;
  out.reserve(size);
  for (const ResourceTable* table : tables) {
    Put32(&out, table->characteristics);
    Put32(&out, table->timeDateStamp);
    Put16(&out, table->majorVersion);
    Put16(&out, table->minorVersion);
    const auto sorted = SortedEntries(*table);
    const auto namedCount =
        std::count_if(sorted.begin(), sorted.end(), [](auto* e) { return !e->name.empty(); });
    Put16(&out, static_cast<uint16_t>(namedCount));
    Put16(&out, static_cast<uint16_t>(sorted.size() - namedCount));
    for (const ResourceEntry* entry : sorted) {
      Put32(&out,
            entry->name.empty() ? entry->id : (kNameFlag | nameOffsets[indexOf(named, entry)]));
      Put32(&out, entry->isTable
                      ? (kSubdirectoryFlag | tableOffsets[indexOf(tables, &entry->table)])
                      : dataEntriesOffset + 16 * static_cast<uint32_t>(indexOf(leaves, entry)));
    }
  }
  for (size_t i = 0; i < leaves.size(); ++i) {
    Put32(&out, sectionRva + dataOffsets[i]);
    Put32(&out, static_cast<uint32_t>(leaves[i]->data.size()));
    Put32(&out, leaves[i]->codePage);
    Put32(&out, 0);
  }
  for (const ResourceEntry* entry : named) {
    Put16(&out, static_cast<uint16_t>(entry->name.size()));
    for (char16_t unit : entry->name) Put16(&out, unit);
  }
  PadTo(&out, 8);
  for (const ResourceEntry* leaf : leaves) {
    out.insert(out.end(), leaf->data.begin(), leaf->data.end());
    PadTo(&out, 8);
  }
  return out;
}

const ResourceEntry* FindResource(const ResourceTable& root, uint16_t type, uint16_t id) {
  for (const ResourceEntry& typeEntry : root.entries) {
    if (!typeEntry.isTable || !typeEntry.name.empty() || typeEntry.id != type) continue;
    for (const ResourceEntry& nameEntry : typeEntry.table.entries) {
      if (!nameEntry.isTable || !nameEntry.name.empty() || nameEntry.id != id) continue;
      for (const ResourceEntry& language : nameEntry.table.entries) {
        if (!language.isTable) return &language;
      }
    }
  }
  return nullptr;
}

ResourceTable* TypeTable(ResourceTable* root, uint16_t type) {
  ResourceEntry* entry = FindEntry(root, type);
  if (entry == nullptr) {
    root->entries.push_back(ResourceEntry{});
    entry = &root->entries.back();
    entry->id = type;
    entry->isTable = true;
  }
  return &entry->table;
}

void RemoveType(ResourceTable* root, uint16_t type) {
  root->entries.erase(
      std::remove_if(root->entries.begin(), root->entries.end(),
                     [type](const ResourceEntry& e) { return e.name.empty() && e.id == type; }),
      root->entries.end());
}

void SetResource(ResourceTable* root, uint16_t type, uint16_t id, uint16_t language, Bytes data) {
  ResourceTable* names = TypeTable(root, type);
  ResourceEntry* name = FindEntry(names, id);
  if (name == nullptr) {
    names->entries.push_back(ResourceEntry{});
    name = &names->entries.back();
    name->id = id;
    name->isTable = true;
  }
  ResourceEntry* leaf = FindEntry(&name->table, language);
  if (leaf == nullptr) {
    name->table.entries.push_back(ResourceEntry{});
    leaf = &name->table.entries.back();
    leaf->id = language;
  }
  leaf->data = std::move(data);
}

}  // namespace javelin::brand
