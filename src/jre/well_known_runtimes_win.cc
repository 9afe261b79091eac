#include "base/file_system.h"
#include "jre/well_known_runtimes.h"

namespace javelin {

namespace {

// The folders the vendors' installers put their runtimes in, below a
// program folder.
const char16_t* const kVendorFolders[] = {
    u"Java",     u"Eclipse Adoptium", u"AdoptOpenJDK", u"Zulu", u"Amazon Corretto",
    u"BellSoft", u"Microsoft",        u"Semeru",
};

}  // namespace

TextList WellKnownRuntimeFolders() {
  // The program folder of the launcher's own bitness first, then the other
  // one: a runtime there is used only with a pair launcher.
#if defined(_WIN64)
  const char16_t* const programFolders[] = {u"ProgramFiles", u"ProgramFiles(x86)"};
#else
  const char16_t* const programFolders[] = {u"ProgramFiles", u"ProgramW6432"};
#endif
  TextList roots;
  std::u16string previous;
  for (const char16_t* variable : programFolders) {
    std::u16string base;
    if (!GetEnvironment(variable, base) || base.empty() || base == previous) continue;
    previous = base;
    for (const char16_t* vendor : kVendorFolders) roots.push_back(base + u"\\" + vendor);
  }
  std::u16string profile;
  if (GetEnvironment(u"USERPROFILE", profile) && !profile.empty())
    roots.push_back(profile + u"\\.jdks");
  return roots;
}

}  // namespace javelin
