#include "jre/runtime_layout.h"

namespace javelin {

namespace {

#if defined(__APPLE__)
const char16_t kLibraryName[] = u"libjvm.dylib";
const char16_t kMarkerName[] = u"libjava.dylib";
#else
const char16_t kLibraryName[] = u"libjvm.so";
const char16_t kMarkerName[] = u"libjava.so";
#endif

// Runtimes up to Java 8 keep their native libraries one level deeper, in a
// folder named after the processor architecture.
#if defined(__x86_64__)
const char16_t kLegacyArch[] = u"amd64";
#elif defined(__i386__)
const char16_t kLegacyArch[] = u"i386";
#elif defined(__aarch64__)
const char16_t kLegacyArch[] = u"aarch64";
#elif defined(__arm__)
const char16_t kLegacyArch[] = u"arm";
#elif defined(__powerpc64__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
const char16_t kLegacyArch[] = u"ppc64le";
#elif defined(__powerpc64__)
const char16_t kLegacyArch[] = u"ppc64";
#elif defined(__s390x__)
const char16_t kLegacyArch[] = u"s390x";
#else
const char16_t kLegacyArch[] = u"";
#endif

const char16_t* FlavorFolder(JvmFlavor flavor) {
  switch (flavor) {
    case JvmFlavor::kClient:
      return u"client";
    case JvmFlavor::kClassic:
      return u"classic";
    case JvmFlavor::kHotspot:
      return u"hotspot";
    case JvmFlavor::kServer:
      return u"server";
    case JvmFlavor::kJRockit:
      return u"jrockit";
  }
  return u"";
}

}  // namespace

TextList JvmLibraryPaths(JvmFlavor flavor) {
  const std::u16string tail = std::u16string(FlavorFolder(flavor)) + u"/" + kLibraryName;
  TextList paths = {u"lib/" + tail};
  if (kLegacyArch[0] != 0) paths.push_back(u"lib/" + std::u16string(kLegacyArch) + u"/" + tail);
  return paths;
}

TextList RuntimeMarkerPaths() {
  TextList paths = {std::u16string(u"lib/") + kMarkerName};
  if (kLegacyArch[0] != 0) {
    paths.push_back(u"lib/" + std::u16string(kLegacyArch) + u"/" + kMarkerName);
  }
  return paths;
}

TextList CompilerPaths() { return {u"bin/javac"}; }

}  // namespace javelin
