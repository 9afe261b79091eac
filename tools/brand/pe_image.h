// Reading the headers of a PE image (32-bit or 64-bit) and writing a copy
// with a new resource section.
//
// The resource section is rebuilt at its place: it may be the last section,
// or be followed only by the base-relocation section and debug information,
// which hold addresses of other sections only and so can move up behind the
// grown resources.
// Every other section keeps its address and its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"

namespace javelin::brand {

struct PeSection {
  std::string name;
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawPointer = 0;
  uint32_t characteristics = 0;
  size_t headerOffset = 0;  // of its 40-byte entry in the section table
};

struct PeDirectory {
  uint32_t address = 0;  // an RVA; a file offset for the certificate table
  uint32_t size = 0;
};

enum PeDirectoryIndex : uint32_t {
  kResourceDirectory = 2,
  kCertificateDirectory = 4,
  kRelocationDirectory = 5
};

struct PeImage {
  uint16_t machine = 0;
  bool pe32Plus = false;
  size_t coffOffset = 0;      // of the COFF file header, after "PE\0\0"
  size_t optionalOffset = 0;  // of the optional header
  size_t checksumOffset = 0;
  size_t directoriesOffset = 0;
  uint32_t directoryCount = 0;
  uint32_t sectionAlignment = 0;
  uint32_t fileAlignment = 0;
  std::vector<PeSection> sections;

  PeDirectory Directory(uint32_t index, const Bytes& file) const;
  // The section whose raw data holds `rva`, or null.
  const PeSection* SectionAt(uint32_t rva) const;
  // The file offset of `rva` when `length` bytes from there lie in one
  // section's raw data.
  bool FileOffset(uint32_t rva, uint32_t length, size_t* offset) const;
};

// Reads the headers. Returns false with a one-line reason for anything that
// is not a well-formed x86 or x64 PE image.
bool ReadPeImage(const Bytes& file, PeImage* image, std::string* error);

// The checksum of the optional header, over the whole file with the
// checksum field taken as zero.
uint32_t ComputePeChecksum(const Bytes& file, size_t checksumOffset);

// Writes `file` with `resources` as the contents of its resource section.
// `resources` must have been laid out for the section's current address
// (ResourceSectionAddress). A certificate table is dropped (a signature no
// longer matches once the resources change); `removedSignature` tells
// whether there was one. Other bytes after the last section are kept.
bool ReplaceResourceSection(const Bytes& file, const PeImage& image, const Bytes& resources,
                            Bytes* out, bool* removedSignature, std::string* error);

// The RVA at which the resource section starts; false when the image has no
// resource section this tool can rebuild.
bool ResourceSectionAddress(const PeImage& image, const Bytes& file, uint32_t* rva,
                            std::string* error);

}  // namespace javelin::brand
