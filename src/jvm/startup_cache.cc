#include "jvm/startup_cache.h"

#include <cstdlib>

#include "base/file_system.h"
#include "base/text.h"
#include "config/ini_paths.h"
#include "jre/release_file.h"
#include "jvm/jvm_environment.h"

namespace javelin {

namespace {

// A file of another start that is younger than this is taken to be still
// in the making; older ones are left-overs of a killed process.
const int64_t kPendingLifetimeSeconds = 15 * 60;

const char16_t kArchiveExtension[] = u".jsa";
const char16_t kAotExtension[] = u".aot";
const char16_t kArchiveTemporary[] = u".jsa.tmp";
const char16_t kAotTemporary[] = u".aot.tmp";
const char16_t kAotConfiguration[] = u".aotconf";

// Options a configuration may already use to manage class sharing itself;
// then the launcher keeps out of the way.
const char16_t* const kSharingOptions[] = {
    u"-Xshare:",
    u"-XX:SharedArchiveFile=",
    u"-XX:ArchiveClassesAtExit=",
    u"-XX:+AutoCreateSharedArchive",
    u"-XX:SharedClassListFile=",
    u"-XX:DumpLoadedClassList=",
    u"-XX:AOTCache=",
    u"-XX:AOTCacheOutput=",
    u"-XX:AOTConfiguration=",
    u"-XX:AOTMode=",
};

class Fnv1a {
 public:
  void Add(const std::u16string& text) {
    AddNumber(text.size());
    for (char16_t unit : text) {
      AddByte(static_cast<uint8_t>(unit & 0xFF));
      AddByte(static_cast<uint8_t>(unit >> 8));
    }
  }
  void AddNumber(uint64_t value) {
    for (int i = 0; i < 8; ++i) AddByte(static_cast<uint8_t>(value >> (8 * i)));
  }
  std::u16string Hex() const {
    static const char16_t kDigits[] = u"0123456789abcdef";
    std::u16string text(16, u'0');
    for (int i = 0; i < 16; ++i) text[15 - i] = kDigits[(hash_ >> (4 * i)) & 0xF];
    return text;
  }

 private:
  void AddByte(uint8_t byte) {
    hash_ ^= byte;
    hash_ *= 0x100000001b3ULL;
  }
  uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// The decimal number that is all of `text`.
bool ParseSize(const std::u16string& text, uint64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  value = 0;
  for (char16_t unit : text) {
    if (unit < u'0' || unit > u'9') return false;
    value = value * 10 + static_cast<uint64_t>(unit - u'0');
  }
  return true;
}

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) {
  return folder + kPathSeparator + name;
}

TextList FolderEntries(const std::u16string& folder) {
  TextList names;
  FileFinder finder;
  for (bool found = finder.FindFile(JoinPath(folder, u"*")); found; found = finder.FindNext()) {
    if (!finder.IsDirectory()) names.push_back(finder.FileName());
  }
  return names;
}

bool IsCacheFileName(const std::u16string& name) {
  return EndsWith(name, kArchiveExtension) || EndsWith(name, kAotExtension) ||
         EndsWith(name, kArchiveTemporary) || EndsWith(name, kAotTemporary) ||
         EndsWith(name, kAotConfiguration);
}

bool IsPendingFileName(const std::u16string& name) {
  return EndsWith(name, kArchiveTemporary) || EndsWith(name, kAotTemporary) ||
         EndsWith(name, kAotConfiguration);
}

bool IsRecent(const std::u16string& path) {
  FileStamp stamp;
  return ReadFileStamp(path, stamp) && CurrentTimeSeconds() - stamp.modified < kPendingLifetimeSeconds;
}

// Removes the application's cache files that `keep` does not name: other
// keys' archives, and pending files of other starts once they are old.
void RemoveOtherFiles(const std::u16string& folder, const std::u16string& key,
                      const std::u16string& keep) {
  for (const std::u16string& name : FolderEntries(folder)) {
    if (name == keep || !IsCacheFileName(name)) continue;
    const std::u16string path = JoinPath(folder, name);
    // Another start may still be writing its own pending file.
    if (IsPendingFileName(name) && IsRecent(path)) continue;
    RemoveFilePath(path);
  }
}

bool ClassPathHasFolder(const std::u16string& classPath) {
  TextList entries;
  SplitText(classPath, std::u16string(1, kSearchPathSeparator), entries);
  for (const std::u16string& entry : entries) {
    FileStamp stamp;
    if (entry.empty() || (ReadFileStamp(entry, stamp) && stamp.directory)) return true;
  }
  return false;
}

const char16_t* SharingOptionIn(const TextList& parameters) {
  for (const std::u16string& parameter : parameters) {
    for (const char16_t* option : kSharingOptions) {
      if (StartsWith(parameter, option)) return option;
    }
  }
  return nullptr;
}

// The runtime's default class-data archive, beside the JVM library.
bool HasBaseArchive(const std::u16string& jvmLibraryPath) {
  const std::u16string folder = jvmLibraryPath.substr(0, jvmLibraryPath.rfind(kPathSeparator));
  FileStamp stamp;
  return ReadFileStamp(JoinPath(folder, u"classes.jsa"), stamp) ||
         ReadFileStamp(JoinPath(folder, u"classes_nocoops.jsa"), stamp);
}

// Silences the cache machinery's own log lines (warnings about skipped
// classes, a refused file) without touching any other JVM output.
std::u16string SilenceOption(int featureVersion) {
  return featureVersion >= 25 ? u"-Xlog:aot*=off,cds*=off" : u"-Xlog:cds*=off";
}

StartupCachePlan Skipped(std::u16string reason) {
  StartupCachePlan plan;
  plan.decision = u"startup cache skipped: " + std::move(reason);
  return plan;
}

}  // namespace

int FeatureVersion(const VersionNumber& version) {
  return version.components[0] == 1 ? version.components[1] : version.components[0];
}

int ReadRuntimeFeatureVersion(const std::u16string& javaHome) {
  std::string release;
  if (!ReadSmallFile(JoinPath(javaHome, u"release"), release)) return 0;
  bool ok = false;
  const VersionNumber version = ParseVersion(FromUtf8(ReleaseFileValue(release, "JAVA_VERSION")), 0, &ok);
  return ok ? FeatureVersion(version) : 0;
}

StartupCacheMechanism ChooseStartupCacheMechanism(int featureVersion, bool hasJavaLauncher,
                                                  bool backgroundAssembly) {
  if (featureVersion >= 25 && hasJavaLauncher && backgroundAssembly) {
    return StartupCacheMechanism::kAotCache;
  }
  if (featureVersion >= 19) return StartupCacheMechanism::kDynamicArchive;
  if (featureVersion >= 13) return StartupCacheMechanism::kArchiveAtExit;
  return StartupCacheMechanism::kNone;
}

std::u16string StartupCacheKey(const StartupCacheInput& input, uint64_t librarySize,
                               int64_t libraryModified, StartupCacheMechanism mechanism) {
  Fnv1a hash;
  hash.AddNumber(static_cast<uint64_t>(mechanism));
  hash.Add(input.jvmLibraryPath);
  hash.AddNumber(librarySize);
  hash.AddNumber(static_cast<uint64_t>(libraryModified));
  hash.Add(input.classPath);
  hash.AddNumber(input.vmParameters.size());
  for (const std::u16string& parameter : input.vmParameters) hash.Add(parameter);
  return hash.Hex();
}

std::u16string StartupCacheFolder(const std::u16string& productName,
                                  const std::u16string& productCode) {
  const std::u16string base = UserCacheDirectory();
  const std::u16string product = ProductFolderName(productName);
  // Without a name of its own the application would share (and tidy) the
  // whole cache folder of the user.
  if (base.empty() || (product.empty() && productCode.empty())) return {};
  std::u16string folder = base;
  for (const std::u16string* part : {&product, &productCode}) {
    if (!part->empty()) folder = JoinPath(folder, *part);
  }
  return folder;
}

StartupCachePlan PlanStartupCache(const StartupCacheInput& input) {
  const std::u16string javaLauncher =
      JoinPath(JoinPath(input.javaHome, u"bin"), kJavaProgramName);
  FileStamp launcherStamp;
  const bool hasJavaLauncher =
      !input.javaHome.empty() && ReadFileStamp(javaLauncher, launcherStamp) && !launcherStamp.directory;
  const StartupCacheMechanism mechanism = ChooseStartupCacheMechanism(
      input.featureVersion, hasJavaLauncher, CanAssembleAotCacheInBackground());
  if (mechanism == StartupCacheMechanism::kNone) {
    return Skipped(input.featureVersion == 0
                       ? u"the runtime's version is unknown"
                       : u"Java " + ToDecimal(input.featureVersion) + u" keeps no application archive");
  }
  if (input.cacheFolder.empty()) return Skipped(u"no per-user cache folder");
  if (const char16_t* option = SharingOptionIn(input.vmParameters)) {
    return Skipped(u"the VM parameters already set " + std::u16string(option));
  }
  if (input.classPath.empty() || ClassPathHasFolder(input.classPath)) {
    // Class-data archives accept only JAR files on the class path; the JVM
    // would refuse to start with a folder there.
    return Skipped(u"the class path holds a folder");
  }
  FileStamp library;
  if (!ReadFileStamp(input.jvmLibraryPath, library)) return Skipped(u"the JVM library cannot be read");
  if (mechanism != StartupCacheMechanism::kAotCache && !HasBaseArchive(input.jvmLibraryPath)) {
    // A dynamic archive extends the runtime's own one; without it a JDK 17
    // JVM refuses to start when asked to write one.
    return Skipped(u"the runtime has no base class-data archive");
  }

  const std::u16string key = StartupCacheKey(input, library.size, library.modified, mechanism);
  const std::u16string folder = input.cacheFolder;
  const std::u16string stem = JoinPath(folder, key);
  const std::u16string extension =
      mechanism == StartupCacheMechanism::kAotCache ? kAotExtension : kArchiveExtension;
  if (CreateParentDirectories(JoinPath(folder, u"x")) != 0) {
    return Skipped(u"the cache folder cannot be created");
  }

  // A finished file whose size matches its name is used; any other of the
  // same key is damaged and goes.
  bool pendingElsewhere = false;
  std::u16string found;
  for (const std::u16string& name : FolderEntries(folder)) {
    if (!StartsWith(name, key)) continue;
    const std::u16string path = JoinPath(folder, name);
    if (IsPendingFileName(name)) {
      if (IsRecent(path)) pendingElsewhere = true;
      continue;
    }
    if (!StartsWith(name, key + u"-") || !EndsWith(name, extension)) continue;
    uint64_t named = 0;
    FileStamp stamp;
    const std::u16string size =
        name.substr(key.size() + 1, name.size() - key.size() - 1 - extension.size());
    if (found.empty() && ParseSize(size, named) && ReadFileStamp(path, stamp) && stamp.size == named) {
      found = path;
    } else {
      RemoveFilePath(path);
    }
  }

  StartupCachePlan plan;
  plan.mechanism = mechanism;
  plan.stem = stem;
  if (!found.empty()) {
    plan.file = found;
    plan.options = {mechanism == StartupCacheMechanism::kAotCache ? u"-XX:AOTCache=" + found
                                                                   : u"-XX:SharedArchiveFile=" + found,
                    SilenceOption(input.featureVersion)};
    plan.decision = u"startup cache used: " + found;
    return plan;
  }
  if (pendingElsewhere) {
    plan.mechanism = StartupCacheMechanism::kNone;
    plan.decision = u"startup cache skipped: another start is creating it";
    return plan;
  }

  std::u16string ownSuffix(1, u'.');
  ownSuffix += ToDecimal(CurrentProcessId());
  const std::u16string pending =
      stem + ownSuffix +
      (mechanism == StartupCacheMechanism::kAotCache ? kAotConfiguration : kArchiveTemporary);
  // The pending name is claimed before the JVM gets it: this also proves the
  // folder writable, since a JVM that cannot write its archive may complain.
  RemoveFilePath(pending);
  if (!CreateNewFile(pending)) {
    plan.mechanism = StartupCacheMechanism::kNone;
    plan.stem.clear();
    plan.decision = u"startup cache skipped: the cache folder is not writable";
    return plan;
  }
  RemoveFilePath(pending);

  plan.pendingFile = pending;
  plan.file = pending;
  switch (mechanism) {
    case StartupCacheMechanism::kAotCache:
      plan.javaLauncher = javaLauncher;
      plan.creationOptions.push_back(u"-Djava.class.path=" + input.classPath);
      plan.creationOptions.insert(plan.creationOptions.end(), input.vmParameters.begin(),
                                  input.vmParameters.end());
      // The JVM reports the recorded configuration on its console stream,
      // which no log selector reaches; the record run alone turns it off.
      plan.options = {u"-XX:AOTMode=record", u"-XX:AOTConfiguration=" + pending,
                      u"-XX:+UnlockDiagnosticVMOptions", u"-XX:-DisplayVMOutput"};
      plan.decision = u"startup cache created: recording " + pending +
                      u", assembled in the background after exit";
      break;
    case StartupCacheMechanism::kDynamicArchive:
      plan.options = {u"-XX:+AutoCreateSharedArchive", u"-XX:SharedArchiveFile=" + pending};
      plan.decision = u"startup cache created: " + pending + u" written at exit";
      break;
    default:
      plan.options = {u"-XX:ArchiveClassesAtExit=" + pending};
      plan.decision = u"startup cache created: " + pending + u" written at exit";
      break;
  }
  plan.options.push_back(SilenceOption(input.featureVersion));
  return plan;
}

void FinishStartupCache(const StartupCachePlan& plan) {
  if (plan.pendingFile.empty()) return;
  FileStamp stamp;
  if (!ReadFileStamp(plan.pendingFile, stamp) || stamp.size == 0) {
    RemoveFilePath(plan.pendingFile);
    return;
  }
  const size_t cut = plan.stem.rfind(kPathSeparator);
  const std::u16string folder = plan.stem.substr(0, cut);
  const std::u16string key = plan.stem.substr(cut + 1);
  const std::u16string pendingName = plan.pendingFile.substr(cut + 1);

  if (plan.mechanism == StartupCacheMechanism::kAotCache) {
    RemoveOtherFiles(folder, key, pendingName);
    const std::u16string output =
        plan.pendingFile.substr(0, plan.pendingFile.size() - std::u16string(kAotConfiguration).size()) +
        kAotTemporary;
    if (!AssembleAotCacheInBackground(plan.javaLauncher, plan.creationOptions, plan.pendingFile,
                                      output, plan.stem)) {
      RemoveFilePath(plan.pendingFile);
    }
    return;
  }
  const std::u16string finalName = key + u"-" + ToDecimal(static_cast<long long>(stamp.size)) +
                                   kArchiveExtension;
  if (RenameFilePath(plan.pendingFile, JoinPath(folder, finalName))) {
    RemoveOtherFiles(folder, key, finalName);
  } else {
    RemoveFilePath(plan.pendingFile);
  }
}

namespace {

// Owned for the rest of the process: the exit handler may run after static
// objects are gone.
StartupCachePlan* planAtExit = nullptr;

void FinishPlanAtExit() {
  if (planAtExit != nullptr) FinishStartupCache(*planAtExit);
}

}  // namespace

void FinishStartupCacheAtExit(const StartupCachePlan& plan) {
  if (plan.pendingFile.empty()) return;
  if (planAtExit == nullptr) {
    planAtExit = new StartupCachePlan(plan);
    std::atexit(FinishPlanAtExit);
  } else {
    *planAtExit = plan;
  }
}

}  // namespace javelin
