#include "jvm/startup_cache.h"

#include <algorithm>
#include <cstdlib>

#include "base/file_system.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/ini_paths.h"
#include "jre/release_file.h"
#include "jvm/jvm_environment.h"

namespace javelin {

namespace {

// After a write that failed (a full disk, a file-size limit), the cache is
// not tried again for this long, unless its key changes.
const int64_t kRetryAfterFailureSeconds = 24 * 60 * 60;

// What a cache write is expected to need before the folder holds a file of
// the kind: a dynamic archive of a large application, an AOT configuration
// and the cache assembled from it (both on disk at once). With files in the
// folder, a multiple of the largest one.
const uint64_t kArchiveEstimate = 32ull << 20;
const uint64_t kAotEstimate = 96ull << 20;
const uint64_t kGrowthFactor = 3;
// A file system left with less than this after the JVM wrote its file was
// probably filled by it: the file may be cut.
const uint64_t kFullFileSystemBytes = 1ull << 20;

const char16_t kArchiveExtension[] = u".jsa";
const char16_t kAotExtension[] = u".aot";
const char16_t kArchiveTemporary[] = u".jsa.tmp";
const char16_t kAotTemporary[] = u".aot.tmp";
const char16_t kAotConfiguration[] = u".aotconf";
const char16_t kFailureMarker[] = u".failed";

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
  std::u16string Hex(int digits = 16) const {
    static const char16_t kDigits[] = u"0123456789abcdef";
    std::u16string text(static_cast<size_t>(digits), u'0');
    for (int i = 0; i < digits; ++i) text[digits - 1 - i] = kDigits[(hash_ >> (4 * i)) & 0xF];
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
         EndsWith(name, kAotConfiguration) || EndsWith(name, kFailureMarker);
}

// A file another process is writing: "<stem>.<pid>.<kind>". Gives the pid.
bool ParsePendingName(const std::u16string& name, uint32_t& pid) {
  if (!EndsWith(name, kArchiveTemporary) && !EndsWith(name, kAotTemporary) &&
      !EndsWith(name, kAotConfiguration)) {
    return false;
  }
  const size_t first = name.find(u'.');
  if (first == std::u16string::npos) return false;
  const size_t second = name.find(u'.', first + 1);
  uint64_t value = 0;
  if (second == std::u16string::npos ||
      !ParseSize(name.substr(first + 1, second - first - 1), value) || value == 0 ||
      value > 0xFFFFFFFFull) {
    return false;
  }
  pid = static_cast<uint32_t>(value);
  return true;
}

// Whether the process that writes the pending file `name` still runs; its
// files are left alone. A file without a writer (a killed start, a stopped
// service's assembly) blocks nothing.
bool WriterRuns(const std::u16string& folder, const std::u16string& name) {
  uint32_t pid = 0;
  if (!ParsePendingName(name, pid)) return false;
  FileStamp stamp;
  if (!ReadFileStamp(JoinPath(folder, name), stamp)) return false;
  return pid == CurrentProcessId() || IsProcessRunning(pid, stamp.modified);
}

// The runtime part of a file name "<runtime>-..."; empty for names of
// another form (older launchers).
std::u16string RuntimeIdOf(const std::u16string& name) {
  if (name.size() < 9 || name[8] != u'-') return {};
  for (size_t i = 0; i < 8; ++i) {
    const char16_t unit = name[i];
    if (!((unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'f'))) return {};
  }
  return name.substr(0, 8);
}

// Removes the files of `stemName`'s runtime that belong to other keys, and
// the application's files of the older name form; pending files of other
// processes stay while their writers run. Other runtimes' files stay.
void RemoveOtherFiles(const std::u16string& folder, const std::u16string& stemName,
                      const std::u16string& keep) {
  const std::u16string runtime = RuntimeIdOf(stemName);
  for (const std::u16string& name : FolderEntries(folder)) {
    if (name == keep || !IsCacheFileName(name) || StartsWith(name, stemName)) continue;
    const std::u16string owner = RuntimeIdOf(name);
    if (!owner.empty() && owner != runtime) continue;
    if (WriterRuns(folder, name)) continue;
    RemoveFilePath(JoinPath(folder, name));
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
  const VersionNumber version =
      ParseVersion(FromUtf8(ReleaseFileValue(release, "JAVA_VERSION")), 0, &ok);
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

namespace {

const char16_t* TrustProblem(FileTrust trust) {
  switch (trust) {
    case FileTrust::kMissing:
      return u"it is missing";
    case FileTrust::kNotPlain:
      return u"it is a link or not a plain file";
    case FileTrust::kOtherOwner:
      return u"it belongs to another user";
    case FileTrust::kOpenToOthers:
      return u"other users can write to it";
    default:
      return u"";
  }
}

// The bytes a new file of `extension` is expected to need in `folder`.
uint64_t EstimatedBytes(const std::u16string& folder, const std::u16string& extension) {
  uint64_t largest = 0;
  for (const std::u16string& name : FolderEntries(folder)) {
    FileStamp stamp;
    if (EndsWith(name, extension) && ReadFileStamp(JoinPath(folder, name), stamp)) {
      largest = std::max(largest, stamp.size);
    }
  }
  const uint64_t estimate = extension == kAotExtension ? kAotEstimate : kArchiveEstimate;
  return std::max(estimate, largest * kGrowthFactor);
}

// Why a write of `bytes` in `folder` would fail; empty when it fits.
std::u16string RoomProblem(const std::u16string& folder, uint64_t bytes) {
  const WriteRoom room = ReadWriteRoom(folder);
  if (room.fileSizeLimit < bytes) {
    return u"the file-size limit (" + ToDecimal(static_cast<long long>(room.fileSizeLimit)) +
           u" bytes) is below the expected " + ToDecimal(static_cast<long long>(bytes));
  }
  if (room.freeBytes < bytes) {
    return u"the cache folder has " + ToDecimal(static_cast<long long>(room.freeBytes)) +
           u" bytes free, below the expected " + ToDecimal(static_cast<long long>(bytes));
  }
  return {};
}

// Whether the file the JVM just wrote may have been cut by a full file
// system or the file-size limit.
bool MayBeCut(const std::u16string& folder, uint64_t size) {
  const WriteRoom room = ReadWriteRoom(folder);
  return size >= room.fileSizeLimit || room.freeBytes < kFullFileSystemBytes;
}

// Remembers that the cache of `stem` could not be written, so that the
// next starts do not try again at once.
void RememberFailure(const std::u16string& stem) {
  const std::u16string marker = stem + kFailureMarker;
  RemoveFilePath(marker);
  CreateNewFile(marker);
}

}  // namespace

TextList ApplicationFolders(const std::u16string& base, const std::u16string& folder) {
  TextList folders{folder};
  if (base.empty() || !StartsWith(folder, base + kPathSeparator)) return folders;
  for (size_t cut = folder.rfind(kPathSeparator); cut > base.size();
       cut = folder.rfind(kPathSeparator, cut - 1)) {
    folders.push_back(folder.substr(0, cut));
  }
  return folders;
}

std::u16string StartupCacheRuntimeId(const std::u16string& jvmLibraryPath) {
  Fnv1a hash;
  hash.Add(jvmLibraryPath);
  return hash.Hex(8);
}

StartupCachePlan PlanStartupCache(const StartupCacheInput& input) {
  const std::u16string javaLauncher = JoinPath(JoinPath(input.javaHome, u"bin"), kJavaProgramName);
  FileStamp launcherStamp;
  const bool hasJavaLauncher = !input.javaHome.empty() &&
                               ReadFileStamp(javaLauncher, launcherStamp) &&
                               !launcherStamp.directory;
  const StartupCacheMechanism mechanism = ChooseStartupCacheMechanism(
      input.featureVersion, hasJavaLauncher, CanAssembleAotCacheInBackground());
  if (mechanism == StartupCacheMechanism::kNone) {
    return Skipped(input.featureVersion == 0 ? u"the runtime's version is unknown"
                                             : u"Java " + ToDecimal(input.featureVersion) +
                                                   u" keeps no application archive");
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
  if (!ReadFileStamp(input.jvmLibraryPath, library))
    return Skipped(u"the JVM library cannot be read");
  if (mechanism != StartupCacheMechanism::kAotCache && !HasBaseArchive(input.jvmLibraryPath)) {
    // A dynamic archive extends the runtime's own one; without it a JDK 17
    // JVM refuses to start when asked to write one.
    return Skipped(u"the runtime has no base class-data archive");
  }

  const bool aot = mechanism == StartupCacheMechanism::kAotCache;
  const std::u16string stemName = StartupCacheRuntimeId(input.jvmLibraryPath) + u"-" +
                                  StartupCacheKey(input, library.size, library.modified, mechanism);
  const std::u16string folder = input.cacheFolder;
  const std::u16string stem = JoinPath(folder, stemName);
  const std::u16string extension = aot ? kAotExtension : kArchiveExtension;
  // The folders below the user's cache folder are the application's own;
  // an archive is trusted input to the JVM, so nobody else may write there.
  if (!CreatePrivateFolders(UserCacheDirectory(), folder)) {
    return Skipped(u"the cache folder cannot be created");
  }
  for (const std::u16string& part : ApplicationFolders(UserCacheDirectory(), folder)) {
    const FileTrust trust = CheckFileTrust(part, true);
    if (trust != FileTrust::kTrusted) {
      return Skipped(u"the cache folder " + Quoted(part) + u" is passed over: " +
                     TrustProblem(trust));
    }
  }

  // A finished file whose size matches its name is used; any other of the
  // same key is damaged and goes. Pending files whose writer has gone are
  // left-overs.
  bool pendingElsewhere = false;
  std::u16string found;
  std::u16string recorded;
  bool failedRecently = false;
  for (const std::u16string& name : FolderEntries(folder)) {
    if (!StartsWith(name, stemName)) continue;
    const std::u16string path = JoinPath(folder, name);
    if (name == stemName + kFailureMarker) {
      FileStamp stamp;
      failedRecently = ReadFileStamp(path, stamp) &&
                       CurrentTimeSeconds() - stamp.modified < kRetryAfterFailureSeconds;
      if (!failedRecently) RemoveFilePath(path);
      continue;
    }
    if (name == stemName + kAotConfiguration) {
      recorded = path;
      continue;
    }
    uint32_t pid = 0;
    if (ParsePendingName(name, pid)) {
      if (WriterRuns(folder, name)) {
        pendingElsewhere = true;
      } else {
        RemoveFilePath(path);
      }
      continue;
    }
    if (!StartsWith(name, stemName + u"-") || !EndsWith(name, extension)) continue;
    uint64_t named = 0;
    FileStamp stamp;
    const std::u16string size =
        name.substr(stemName.size() + 1, name.size() - stemName.size() - 1 - extension.size());
    const FileTrust trust = CheckFileTrust(path, false);
    if (trust != FileTrust::kTrusted) {
      Trace(u"startup cache file " + Quoted(path) + u" passed over: " + TrustProblem(trust));
    }
    if (found.empty() && trust == FileTrust::kTrusted && ParseSize(size, named) &&
        ReadFileStamp(path, stamp) && stamp.size == named) {
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
    plan.options = {aot ? u"-XX:AOTCache=" + found : u"-XX:SharedArchiveFile=" + found,
                    SilenceOption(input.featureVersion)};
    plan.decision = u"startup cache used: " + found;
    return plan;
  }
  plan.mechanism = StartupCacheMechanism::kNone;
  if (pendingElsewhere) {
    plan.decision = u"startup cache skipped: another start is creating it";
    return plan;
  }
  if (failedRecently) {
    plan.decision = u"startup cache skipped: writing it failed less than a day ago";
    return plan;
  }
  TextList creationOptions{u"-Djava.class.path=" + input.classPath};
  creationOptions.insert(creationOptions.end(), input.vmParameters.begin(),
                         input.vmParameters.end());
  if (!recorded.empty()) {
    // An earlier start recorded the configuration but its assembly did not
    // end (a service stopped with its whole process group): assemble it now,
    // beside the application, for the next start.
    const FileTrust trust = CheckFileTrust(recorded, false);
    FileStamp stamp;
    if (trust == FileTrust::kTrusted && ReadFileStamp(recorded, stamp) && stamp.size > 0 &&
        RoomProblem(folder, EstimatedBytes(folder, extension) / 2).empty() &&
        AssembleAotCacheInBackground(javaLauncher, creationOptions, recorded, stem)) {
      plan.decision = u"startup cache skipped: assembling " + recorded + u" in the background";
      return plan;
    }
    if (trust != FileTrust::kTrusted) {
      Trace(u"startup cache file " + Quoted(recorded) + u" passed over: " + TrustProblem(trust));
    }
    RemoveFilePath(recorded);
  }
  const std::u16string roomProblem = RoomProblem(folder, EstimatedBytes(folder, extension));
  if (!roomProblem.empty()) {
    plan.decision = u"startup cache skipped: " + roomProblem;
    return plan;
  }
  plan.mechanism = mechanism;

  std::u16string ownSuffix(1, u'.');
  ownSuffix += ToDecimal(CurrentProcessId());
  const std::u16string pending = stem + ownSuffix + (aot ? kAotConfiguration : kArchiveTemporary);
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
      plan.creationOptions = std::move(creationOptions);
      plan.options = {u"-XX:AOTMode=record", u"-XX:AOTConfiguration=" + pending};
      // The JVM reports the recorded configuration on its console stream,
      // which no log selector reaches: a filter drops that one line.
      plan.filterVmOutput = true;
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
  const size_t cut = plan.stem.rfind(kPathSeparator);
  const std::u16string folder = plan.stem.substr(0, cut);
  const std::u16string stemName = plan.stem.substr(cut + 1);
  FileStamp stamp;
  // The JVM has ended: a file it could not write, or may have cut, is not
  // tried again for a while.
  if (!ReadFileStamp(plan.pendingFile, stamp) || stamp.size == 0 || MayBeCut(folder, stamp.size)) {
    RemoveFilePath(plan.pendingFile);
    RememberFailure(plan.stem);
    return;
  }

  if (plan.mechanism == StartupCacheMechanism::kAotCache) {
    const std::u16string recorded = plan.stem + kAotConfiguration;
    RemoveOtherFiles(folder, stemName, {});
    if (!RenameFilePath(plan.pendingFile, recorded)) {
      RemoveFilePath(plan.pendingFile);
      return;
    }
    if (!AssembleAotCacheInBackground(plan.javaLauncher, plan.creationOptions, recorded,
                                      plan.stem)) {
      RemoveFilePath(recorded);
    }
    return;
  }
  const std::u16string finalName =
      stemName + u"-" + ToDecimal(static_cast<long long>(stamp.size)) + kArchiveExtension;
  if (RenameFilePath(plan.pendingFile, JoinPath(folder, finalName))) {
    RemoveOtherFiles(folder, stemName, finalName);
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
