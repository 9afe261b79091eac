#include "version_info.h"

#include <algorithm>
#include <cstdio>

namespace javelin::brand {
namespace {

constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr uint16_t kBinary = 0;
constexpr uint16_t kText = 1;

struct Block {
  std::u16string key;
  uint16_t type = 0;
  size_t valueOffset = 0;
  size_t valueBytes = 0;
  size_t childrenOffset = 0;
  size_t end = 0;
};

size_t Align4(size_t value) { return (value + 3) & ~size_t{3}; }

bool ReadBlock(const Bytes& data, size_t offset, size_t limit, Block* block) {
  uint16_t length = 0, valueLength = 0;
  if (!Read16(data, offset, &length) || !Read16(data, offset + 2, &valueLength) ||
      !Read16(data, offset + 4, &block->type) || length < 6 || length > limit - offset) {
    return false;
  }
  block->end = offset + length;
  size_t at = offset + 6;
  block->key.clear();
  for (uint16_t unit = 0;; at += 2) {
    if (at + 2 > block->end || !Read16(data, at, &unit)) return false;
    if (unit == 0) break;
    block->key.push_back(static_cast<char16_t>(unit));
  }
  block->valueOffset = std::min(Align4(at + 2), block->end);
  block->valueBytes = block->type == kText ? 2u * valueLength : valueLength;
  block->valueBytes = std::min(block->valueBytes, block->end - block->valueOffset);
  block->childrenOffset = std::min(Align4(block->valueOffset + block->valueBytes), block->end);
  return true;
}

// Calls `visit` for each child of `parent`; false when a child is broken.
template <typename Visit>
bool ForEachChild(const Bytes& data, const Block& parent, Visit visit) {
  for (size_t at = parent.childrenOffset; at + 6 <= parent.end; at = Align4(at)) {
    Block child;
    if (!ReadBlock(data, at, parent.end, &child) || !visit(child)) return false;
    at = child.end;
  }
  return true;
}

void PutText(Bytes* out, const std::u16string& text) {
  for (char16_t unit : text) Put16(out, unit);
  Put16(out, 0);
}

// Appends a block; `children` are whole blocks, each placed on a 4-byte boundary.
void PutBlock(Bytes* out, const std::u16string& key, uint16_t type, uint16_t valueLength,
              const Bytes& value, const std::vector<Bytes>& children) {
  PadTo(out, 4);
  const size_t start = out->size();
  Put16(out, 0);
  Put16(out, valueLength);
  Put16(out, type);
  PutText(out, key);
  PadTo(out, 4);
  out->insert(out->end(), value.begin(), value.end());
  for (const Bytes& child : children) {
    PadTo(out, 4);
    out->insert(out->end(), child.begin(), child.end());
  }
  Write16(out, start, static_cast<uint16_t>(out->size() - start));
}

std::u16string TableKey(uint16_t language, uint16_t codePage) {
  char key[9];
  std::snprintf(key, sizeof key, "%04X%04X", language, codePage);
  return std::u16string(key, key + 8);
}

}  // namespace

void VersionInfo::Set(const std::u16string& key, const std::u16string& value) {
  for (auto& entry : strings) {
    if (entry.first == key) {
      entry.second = value;
      return;
    }
  }
  strings.emplace_back(key, value);
}

const std::u16string* VersionInfo::Get(const std::u16string& key) const {
  for (const auto& entry : strings) {
    if (entry.first == key) return &entry.second;
  }
  return nullptr;
}

bool ReadVersionInfo(const Bytes& data, VersionInfo* info, std::string* error) {
  Block root;
  if (!ReadBlock(data, 0, data.size(), &root) || root.key != u"VS_VERSION_INFO") {
    *error = "broken version information";
    return false;
  }
  VersionInfo result;
  uint32_t signature = 0;
  if (root.valueBytes >= 52 && Read32(data, root.valueOffset, &signature) &&
      signature == kFixedSignature) {
    uint32_t field[13];
    for (int i = 0; i < 13; ++i) Read32(data, root.valueOffset + 4 * i, &field[i]);
    result.fileVersion = {uint16_t(field[2] >> 16), uint16_t(field[2]), uint16_t(field[3] >> 16),
                          uint16_t(field[3])};
    result.productVersion = {uint16_t(field[4] >> 16), uint16_t(field[4]), uint16_t(field[5] >> 16),
                             uint16_t(field[5])};
    result.fileFlagsMask = field[6];
    result.fileFlags = field[7];
    result.fileOs = field[8];
    result.fileType = field[9];
    result.fileSubtype = field[10];
  }
  bool haveTable = false;
  const bool ok = ForEachChild(data, root, [&](const Block& section) {
    if (section.key == u"StringFileInfo") {
      return ForEachChild(data, section, [&](const Block& table) {
        if (haveTable) return true;
        haveTable = true;
        return ForEachChild(data, table, [&](const Block& string) {
          std::u16string value;
          for (size_t i = 0; i + 2 <= string.valueBytes; i += 2) {
            uint16_t unit = 0;
            Read16(data, string.valueOffset + i, &unit);
            if (unit == 0) break;
            value.push_back(static_cast<char16_t>(unit));
          }
          result.strings.emplace_back(string.key, value);
          return true;
        });
      });
    }
    if (section.key == u"VarFileInfo") {
      return ForEachChild(data, section, [&](const Block& var) {
        if (var.key == u"Translation" && var.valueBytes >= 4) {
          Read16(data, var.valueOffset, &result.language);
          Read16(data, var.valueOffset + 2, &result.codePage);
        }
        return true;
      });
    }
    return true;
  });
  if (!ok) {
    *error = "broken version information";
    return false;
  }
  *info = std::move(result);
  return true;
}

Bytes WriteVersionInfo(const VersionInfo& info) {
  Bytes fixed;
  Put32(&fixed, kFixedSignature);
  Put32(&fixed, 0x00010000);
  Put32(&fixed, uint32_t(info.fileVersion[0]) << 16 | info.fileVersion[1]);
  Put32(&fixed, uint32_t(info.fileVersion[2]) << 16 | info.fileVersion[3]);
  Put32(&fixed, uint32_t(info.productVersion[0]) << 16 | info.productVersion[1]);
  Put32(&fixed, uint32_t(info.productVersion[2]) << 16 | info.productVersion[3]);
  Put32(&fixed, info.fileFlagsMask);
  Put32(&fixed, info.fileFlags);
  Put32(&fixed, info.fileOs);
  Put32(&fixed, info.fileType);
  Put32(&fixed, info.fileSubtype);
  Put32(&fixed, 0);
  Put32(&fixed, 0);

  std::vector<Bytes> strings;
  for (const auto& [key, value] : info.strings) {
    Bytes text, block;
    PutText(&text, value);
    PutBlock(&block, key, kText, static_cast<uint16_t>(value.size() + 1), text, {});
    strings.push_back(std::move(block));
  }
  Bytes table, stringFileInfo, translation, var, varFileInfo, out;
  PutBlock(&table, TableKey(info.language, info.codePage), kText, 0, {}, strings);
  PutBlock(&stringFileInfo, u"StringFileInfo", kText, 0, {}, {table});
  Put16(&translation, info.language);
  Put16(&translation, info.codePage);
  PutBlock(&var, u"Translation", kBinary, 4, translation, {});
  PutBlock(&varFileInfo, u"VarFileInfo", kText, 0, {}, {var});
  PutBlock(&out, u"VS_VERSION_INFO", kBinary, static_cast<uint16_t>(fixed.size()), fixed,
           {stringFileInfo, varFileInfo});
  return out;
}

bool ParseVersionNumbers(std::string_view text, VersionNumbers* numbers) {
  VersionNumbers result{};
  size_t part = 0;
  uint32_t value = 0;
  bool digits = false;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '.') {
      if (!digits || part == 4) return false;
      result[part++] = static_cast<uint16_t>(value);
      value = 0;
      digits = false;
    } else if (text[i] >= '0' && text[i] <= '9') {
      value = value * 10 + static_cast<uint32_t>(text[i] - '0');
      digits = true;
      if (value > 65535) return false;
    } else {
      return false;
    }
  }
  *numbers = result;
  return true;
}

std::u16string VersionText(const VersionNumbers& numbers) {
  std::string text;
  for (size_t i = 0; i < numbers.size(); ++i) text += (i ? "." : "") + std::to_string(numbers[i]);
  return std::u16string(text.begin(), text.end());
}

}  // namespace javelin::brand
