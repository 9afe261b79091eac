#include "pe_image.h"

#include <algorithm>

namespace javelin::brand {
namespace {

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint32_t kContainsInitializedData = 0x00000040;
constexpr size_t kSectionHeaderSize = 40;

bool IsPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

PeDirectory PeImage::Directory(uint32_t index, const Bytes& file) const {
  PeDirectory directory;
  if (index < directoryCount) {
    Read32(file, directoriesOffset + 8 * index, &directory.address);
    Read32(file, directoriesOffset + 8 * index + 4, &directory.size);
  }
  return directory;
}

const PeSection* PeImage::SectionAt(uint32_t rva) const {
  for (const PeSection& section : sections) {
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.rawSize)
      return &section;
  }
  return nullptr;
}

bool PeImage::FileOffset(uint32_t rva, uint32_t length, size_t* offset) const {
  const PeSection* section = SectionAt(rva);
  if (section == nullptr || section->rawSize - (rva - section->virtualAddress) < length)
    return false;
  *offset = static_cast<size_t>(section->rawPointer) + (rva - section->virtualAddress);
  return true;
}

bool ReadPeImage(const Bytes& file, PeImage* image, std::string* error) {
  uint16_t magic = 0;
  uint32_t peOffset = 0;
  if (!Read16(file, 0, &magic) || magic != 0x5A4D || !Read32(file, 0x3C, &peOffset)) {
    *error = "not a PE image (no MZ header)";
    return false;
  }
  uint32_t signature = 0;
  if (!Read32(file, peOffset, &signature) || signature != 0x00004550) {
    *error = "not a PE image (no PE signature)";
    return false;
  }
  PeImage result;
  result.coffOffset = static_cast<size_t>(peOffset) + 4;
  uint16_t sectionCount = 0, optionalSize = 0, optionalMagic = 0;
  result.optionalOffset = result.coffOffset + 20;
  if (!Read16(file, result.coffOffset, &result.machine) ||
      !Read16(file, result.coffOffset + 2, &sectionCount) ||
      !Read16(file, result.coffOffset + 16, &optionalSize) ||
      !Read16(file, result.optionalOffset, &optionalMagic)) {
    *error = "truncated PE header";
    return false;
  }
  if (result.machine != kMachineI386 && result.machine != kMachineAmd64) {
    *error = "not an x86 or x64 Windows program";
    return false;
  }
  result.pe32Plus = optionalMagic == 0x20B;
  if ((optionalMagic != 0x10B && optionalMagic != 0x20B) ||
      result.pe32Plus != (result.machine == kMachineAmd64)) {
    *error = "the optional header does not match the processor";
    return false;
  }
  const size_t countOffset = result.optionalOffset + (result.pe32Plus ? 108 : 92);
  result.directoriesOffset = countOffset + 4;
  result.checksumOffset = result.optionalOffset + 64;
  uint32_t sizeOfHeaders = 0;
  if (!Read32(file, result.optionalOffset + 32, &result.sectionAlignment) ||
      !Read32(file, result.optionalOffset + 36, &result.fileAlignment) ||
      !Read32(file, result.optionalOffset + 60, &sizeOfHeaders) ||
      !Read32(file, countOffset, &result.directoryCount)) {
    *error = "truncated PE header";
    return false;
  }
  if (!IsPowerOfTwo(result.sectionAlignment) || !IsPowerOfTwo(result.fileAlignment) ||
      result.fileAlignment > result.sectionAlignment) {
    *error = "the PE header has invalid alignments";
    return false;
  }
  result.directoryCount = std::min<uint32_t>(result.directoryCount, 16);
  const size_t sectionTable = result.optionalOffset + optionalSize;
  if (optionalSize < result.directoriesOffset - result.optionalOffset + 8 * result.directoryCount ||
      sectionCount == 0 || sectionCount > 96 ||
      sectionTable + kSectionHeaderSize * sectionCount > file.size() ||
      sectionTable + kSectionHeaderSize * sectionCount > sizeOfHeaders) {
    *error = "truncated PE header";
    return false;
  }
  for (size_t i = 0; i < sectionCount; ++i) {
    PeSection section;
    section.headerOffset = sectionTable + kSectionHeaderSize * i;
    const auto* name = reinterpret_cast<const char*>(&file[section.headerOffset]);
    section.name.assign(name, std::find(name, name + 8, '\0'));
    Read32(file, section.headerOffset + 8, &section.virtualSize);
    Read32(file, section.headerOffset + 12, &section.virtualAddress);
    Read32(file, section.headerOffset + 16, &section.rawSize);
    Read32(file, section.headerOffset + 20, &section.rawPointer);
    Read32(file, section.headerOffset + 36, &section.characteristics);
    if (section.rawSize != 0 &&
        (section.rawPointer > file.size() || file.size() - section.rawPointer < section.rawSize)) {
      *error = "truncated file: section " + section.name + " ends after the end of the file";
      return false;
    }
    if (section.virtualAddress > UINT32_MAX - std::max(section.virtualSize, section.rawSize)) {
      *error = "section " + section.name + " lies outside the address space";
      return false;
    }
    result.sections.push_back(section);
  }
  *image = std::move(result);
  return true;
}

uint32_t ComputePeChecksum(const Bytes& file, size_t checksumOffset) {
  uint64_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) {
    if (i >= checksumOffset && i < checksumOffset + 4) continue;
    uint32_t word = file[i];
    if (i + 1 < file.size()) word |= static_cast<uint32_t>(file[i + 1]) << 8;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + file.size());
}

bool ResourceSectionAddress(const PeImage& image, const Bytes& file, uint32_t* rva,
                            std::string* error) {
  const PeDirectory resources = image.Directory(kResourceDirectory, file);
  const PeDirectory relocations = image.Directory(kRelocationDirectory, file);
  size_t index = 0;
  while (index < image.sections.size() && image.sections[index].virtualAddress != resources.address)
    ++index;
  if (resources.size == 0 || index == image.sections.size()) {
    *error = "the program has no resource section";
    return false;
  }
  for (size_t later = index + 1; later < image.sections.size(); ++later) {
    const PeSection& section = image.sections[later];
    // The relocations and debug information hold addresses and offsets of
    // other sections only: they can move.
    const bool movable = section.virtualAddress == relocations.address ||
                         section.name.rfind(".debug", 0) == 0 || section.name.rfind("/", 0) == 0;
    if (!movable) {
      *error =
          "the resource section is followed by section " + section.name + ", which cannot move";
      return false;
    }
    if (section.virtualAddress < image.sections[index].virtualAddress ||
        (section.rawSize != 0 && section.rawPointer < image.sections[index].rawPointer)) {
      *error = "the sections are not in address order";
      return false;
    }
  }
  *rva = resources.address;
  return true;
}

bool ReplaceResourceSection(const Bytes& file, const PeImage& image, const Bytes& resources,
                            Bytes* out, bool* removedSignature, std::string* error) {
  uint32_t rsrcAddress = 0;
  if (!ResourceSectionAddress(image, file, &rsrcAddress, error)) return false;
  size_t index = 0;
  while (image.sections[index].virtualAddress != rsrcAddress) ++index;

  // Where the section data ends; what follows is kept, except a signature.
  size_t sectionsEnd = 0;
  for (const PeSection& section : image.sections) {
    // A section without file data (.bss) may point anywhere.
    if (section.rawSize == 0) continue;
    sectionsEnd =
        std::max<size_t>(sectionsEnd, static_cast<size_t>(section.rawPointer) + section.rawSize);
  }
  const PeDirectory certificate = image.Directory(kCertificateDirectory, file);
  *removedSignature = certificate.size != 0;
  if (*removedSignature &&
      (certificate.address < sectionsEnd || certificate.address > file.size() ||
       file.size() - certificate.address < certificate.size)) {
    *error = "the signature lies outside the end of the file";
    return false;
  }
  Bytes trailer(file.begin() + sectionsEnd, file.end());
  if (*removedSignature) {
    trailer.erase(trailer.begin() + (certificate.address - sectionsEnd),
                  trailer.begin() + (certificate.address - sectionsEnd + certificate.size));
  }

  const PeSection& rsrc = image.sections[index];
  Bytes result(file.begin(), file.begin() + rsrc.rawPointer);
  result.insert(result.end(), resources.begin(), resources.end());
  PadTo(&result, image.fileAlignment);
  const uint32_t newRawSize = static_cast<uint32_t>(result.size() - rsrc.rawPointer);
  Write32(&result, rsrc.headerOffset + 8, static_cast<uint32_t>(resources.size()));
  Write32(&result, rsrc.headerOffset + 16, newRawSize);
  int64_t initializedDelta = static_cast<int64_t>(newRawSize) - rsrc.rawSize;

  uint32_t nextAddress = AlignUp(rsrc.virtualAddress + static_cast<uint32_t>(resources.size()),
                                 image.sectionAlignment);
  uint32_t imageEnd = nextAddress;
  for (size_t later = index + 1; later < image.sections.size(); ++later) {
    const PeSection& section = image.sections[later];
    const uint32_t rawPointer = section.rawSize == 0 ? 0 : static_cast<uint32_t>(result.size());
    if (section.rawSize != 0) {
      result.insert(result.end(), file.begin() + section.rawPointer,
                    file.begin() + section.rawPointer + section.rawSize);
    }
    Write32(&result, section.headerOffset + 12, nextAddress);
    Write32(&result, section.headerOffset + 20, rawPointer);
    if (section.virtualAddress == image.Directory(kRelocationDirectory, file).address) {
      Write32(&result, image.directoriesOffset + 8 * kRelocationDirectory, nextAddress);
    }
    nextAddress = AlignUp(nextAddress + std::max(section.virtualSize, section.rawSize),
                          image.sectionAlignment);
    imageEnd = nextAddress;
  }
  const size_t newSectionsEnd = result.size();
  result.insert(result.end(), trailer.begin(), trailer.end());

  Write32(&result, image.directoriesOffset + 8 * kResourceDirectory + 4,
          static_cast<uint32_t>(resources.size()));
  if (*removedSignature) {
    Write32(&result, image.directoriesOffset + 8 * kCertificateDirectory, 0);
    Write32(&result, image.directoriesOffset + 8 * kCertificateDirectory + 4, 0);
  }
  Write32(&result, image.optionalOffset + 56, imageEnd);
  if (rsrc.characteristics & kContainsInitializedData) {
    uint32_t initialized = 0;
    Read32(result, image.optionalOffset + 8, &initialized);
    Write32(&result, image.optionalOffset + 8,
            static_cast<uint32_t>(initialized + initializedDelta));
  }
  // A COFF symbol table (unstripped programs) sits behind the sections and
  // moves with them.
  uint32_t symbols = 0;
  Read32(file, image.coffOffset + 8, &symbols);
  if (symbols >= sectionsEnd) {
    uint32_t moved = static_cast<uint32_t>(symbols - sectionsEnd + newSectionsEnd);
    if (*removedSignature && certificate.address < symbols) moved -= certificate.size;
    Write32(&result, image.coffOffset + 8, moved);
  }
  Write32(&result, image.checksumOffset, 0);
  Write32(&result, image.checksumOffset, ComputePeChecksum(result, image.checksumOffset));
  *out = std::move(result);
  return true;
}

}  // namespace javelin::brand
