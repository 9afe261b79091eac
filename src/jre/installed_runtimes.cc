#include "jre/installed_runtimes.h"

#include "launcher/launcher.h"

namespace javelin {

namespace {

bool KindPreferred(const Launcher& launcher, JavaKind kind) {
  return kind == JavaKind::kJdk ? launcher.jdkPreferred : launcher.jrePreferred;
}

bool VendorAllowed(const Launcher& launcher, JavaVendor vendor) {
  switch (vendor) {
    case JavaVendor::kSun: return launcher.sunAllowed;
    case JavaVendor::kJRockit: return launcher.jrockitAllowed;
    case JavaVendor::kIbm: return launcher.ibmAllowed;
  }
  return false;
}

bool VendorPreferred(const Launcher& launcher, JavaVendor vendor) {
  switch (vendor) {
    case JavaVendor::kSun: return launcher.sunPreferred;
    case JavaVendor::kJRockit: return launcher.jrockitPreferred;
    case JavaVendor::kIbm: return launcher.ibmPreferred;
  }
  return false;
}

}  // namespace

bool IsRuntimeSearched(const Launcher& launcher, JavaKind kind, JavaVendor vendor) {
  const bool kindOk = launcher.bothKindsAllowed || KindPreferred(launcher, kind);
  const bool vendorOk = VendorAllowed(launcher, vendor) || VendorPreferred(launcher, vendor);
  return kindOk && vendorOk;
}

bool IsRuntimePreferred(const Launcher& launcher, JavaKind kind, JavaVendor vendor) {
  return KindPreferred(launcher, kind) && VendorPreferred(launcher, vendor);
}

bool IsAdmittedVersion(const Launcher& launcher, const VersionNumber& version) {
  static const VersionNumber kNoUpperBound{{65535, 65535, 65535, 65535}};
  const VersionNumber& maximum =
      CompareVersions(launcher.maximumVersion, VersionNumber{}) == 0 ? kNoUpperBound
                                                                    : launcher.maximumVersion;
  return IsInVersionRange(version, launcher.minimumVersion, maximum);
}

int32_t CandidateJvmKind(const Launcher& launcher, bool ignoresServerPreference) {
  if (ignoresServerPreference && launcher.jvmType == Launcher::kJvmTypeFavorServer) {
    return Launcher::kJvmTypeAny;
  }
  return launcher.jvmType;
}

bool ChooseInstalledRuntime(Launcher& launcher, JreCandidateList& list, bool alternateView,
                            std::u16string& home, VersionNumber& version) {
  if (!PickCandidate(list, launcher, version, home)) return false;
  launcher.selectedVersion = version;
  if (alternateView) launcher.handOverToPair = true;
  return true;
}

}  // namespace javelin
