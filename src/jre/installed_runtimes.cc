#include "jre/installed_runtimes.h"

namespace javelin {

namespace {

bool KindPreferred(const RuntimeRequirements& runtime, JavaKind kind) {
  return kind == JavaKind::kJdk ? runtime.jdkPreferred : runtime.jrePreferred;
}

bool VendorAllowed(const RuntimeRequirements& runtime, JavaVendor vendor) {
  switch (vendor) {
    case JavaVendor::kSun:
      return runtime.sunAllowed;
    case JavaVendor::kJRockit:
      return runtime.jrockitAllowed;
    case JavaVendor::kIbm:
      return runtime.ibmAllowed;
  }
  return false;
}

bool VendorPreferred(const RuntimeRequirements& runtime, JavaVendor vendor) {
  switch (vendor) {
    case JavaVendor::kSun:
      return runtime.sunPreferred;
    case JavaVendor::kJRockit:
      return runtime.jrockitPreferred;
    case JavaVendor::kIbm:
      return runtime.ibmPreferred;
  }
  return false;
}

}  // namespace

bool IsRuntimeSearched(const RuntimeRequirements& runtime, JavaKind kind, JavaVendor vendor) {
  const bool kindOk = runtime.bothKindsAllowed || KindPreferred(runtime, kind);
  const bool vendorOk = VendorAllowed(runtime, vendor) || VendorPreferred(runtime, vendor);
  return kindOk && vendorOk;
}

std::u16string WhyNotAdmitted(const RuntimeRequirements& runtime, JavaKind kind, JavaVendor vendor,
                              const VersionNumber& version) {
  if (!runtime.bothKindsAllowed && !KindPreferred(runtime, kind)) {
    return u"\"JVM Source\" does not admit a " +
           std::u16string(kind == JavaKind::kJdk ? u"JDK" : u"JRE");
  }
  if (!VendorAllowed(runtime, vendor) && !VendorPreferred(runtime, vendor)) {
    return u"\"VM Provider\" does not admit its vendor";
  }
  if (!IsAdmittedVersion(runtime, version)) return u"version out of range";
  return {};
}

bool IsRuntimePreferred(const RuntimeRequirements& runtime, JavaKind kind, JavaVendor vendor) {
  return KindPreferred(runtime, kind) && VendorPreferred(runtime, vendor);
}

bool IsAdmittedVersion(const RuntimeRequirements& runtime, const VersionNumber& version) {
  static constexpr VersionNumber kNoUpperBound{{65535, 65535, 65535, 65535}};
  const VersionNumber& maximum = CompareVersions(runtime.maximumVersion, VersionNumber{}) == 0
                                     ? kNoUpperBound
                                     : runtime.maximumVersion;
  return IsInVersionRange(version, runtime.minimumVersion, maximum);
}

int32_t CandidateJvmKind(const RuntimeRequirements& runtime, bool ignoresServerPreference) {
  if (ignoresServerPreference && runtime.jvmType == kJvmTypeFavorServer) return kJvmTypeAny;
  return runtime.jvmType;
}

RankingPolicy RankingPolicyOf(const RuntimeRequirements& runtime) {
  return RankingPolicy{runtime.bothKindsAllowed, runtime.jvmType == kJvmTypeFavorServer};
}

std::optional<InstalledRuntime> ChooseInstalledRuntime(JreCandidateList& list,
                                                       const RuntimeRequirements& runtime) {
  const JreCandidate* picked =
      PickCandidate(list, RankingPolicyOf(runtime), runtime.preferredVersions);
  if (picked == nullptr) return std::nullopt;
  return InstalledRuntime{picked->home, picked->version};
}

}  // namespace javelin
