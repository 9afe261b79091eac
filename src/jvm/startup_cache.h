// The startup cache: a class-data archive (JDK 13 to 24) or an ahead-of-time
// cache (JDK 25 and later) kept per user and per application, so that later
// starts skip most of the JVM's class loading and linking.
//
// Files in the cache folder, all named after a key that hashes everything
// that invalidates them (JVM library path, size and modification time, class
// path, VM parameters, the mechanism):
//   <key>-<size>.jsa / <key>-<size>.aot   finished archive / AOT cache; the
//                                         size in the name proves the file
//                                         whole (a cut archive can crash a
//                                         JDK 17 JVM, so it is never offered)
//   <key>.<pid>.jsa.tmp                   archive being written by a JVM
//   <key>.<pid>.aotconf                   AOT configuration being recorded
//   <key>.<pid>.aot.tmp                   AOT cache being assembled
// A JVM only ever writes to a name of its own process; the finished name
// appears by an atomic rename, so concurrent starts never see half a file.
#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"
#include "jre/version.h"

namespace javelin {

enum class StartupCacheMechanism {
  kNone,
  // JDK 13-18: -XX:ArchiveClassesAtExit on the first run, then
  // -XX:SharedArchiveFile.
  kArchiveAtExit,
  // JDK 19 and later: -XX:+AutoCreateSharedArchive on the first run, then
  // -XX:SharedArchiveFile.
  kDynamicArchive,
  // JDK 25 and later: -XX:AOTMode=record on the first run, the cache
  // assembled afterwards by <java.home>/bin/java in the background, then
  // -XX:AOTCache.
  kAotCache,
};

struct StartupCacheInput {
  int featureVersion = 0;          // 8, 11, 17, 25...; 0 when unknown
  std::u16string cacheFolder;      // per-user per-application folder
  std::u16string jvmLibraryPath;   // its size and modification time are read here
  std::u16string javaHome;         // for bin/java
  std::u16string classPath;        // the assembled class path (platform list separator)
  TextList vmParameters;           // the VM parameters as handed to the JVM
};

struct StartupCachePlan {
  TextList options;                // JVM options to append after the VM parameters
  std::u16string file;             // the cache file used or to be created; empty when none
  std::u16string decision;         // one line for the launch trace
  StartupCacheMechanism mechanism = StartupCacheMechanism::kNone;
  // Set when this run writes a file that FinishStartupCache completes.
  std::u16string pendingFile;
  std::u16string stem;             // <folder>/<key>
  std::u16string javaLauncher;     // <java.home>/bin/java (AOT cache only)
  TextList creationOptions;        // class path and VM parameters for assembling the AOT cache
};

// Decides whether and how this launch uses the cache, prepares the folder
// and returns the JVM options. Never fails: every problem ends in a plan
// without options and a decision that says why.
StartupCachePlan PlanStartupCache(const StartupCacheInput& input);

// Completes what the run's JVM wrote (call once the JVM has ended: after
// DestroyJavaVM or at process exit): renames the finished archive to its
// final name, or starts the background assembly of the AOT cache; then
// removes the application's files of other keys. Does nothing for a plan
// without a pending file or when the JVM wrote nothing.
void FinishStartupCache(const StartupCachePlan& plan);

// Runs FinishStartupCache(plan) when the process exits, whether main returns
// or the application calls System.exit. The latest plan wins.
void FinishStartupCacheAtExit(const StartupCachePlan& plan);

// %LOCALAPPDATA%\<Product Name>\<Product Code> on Windows,
// $XDG_CACHE_HOME (else ~/.cache)/<Product Name>/<Product Code> elsewhere;
// the product name as a folder name like the per-user settings; an empty
// part is left out. Empty when the base folder is unknown or both parts are
// empty.
std::u16string StartupCacheFolder(const std::u16string& productName,
                                  const std::u16string& productCode);

// 1.8.0 -> 8, 17.0.2 -> 17; 0 for 0.0.0.0.
int FeatureVersion(const VersionNumber& version);

// The feature version from JAVA_VERSION in <javaHome>/release; 0 when the
// file or the key is missing.
int ReadRuntimeFeatureVersion(const std::u16string& javaHome);

// The mechanism for a runtime: AOT cache from 25 on when its bin/java exists
// and the platform can assemble the cache in the background, the dynamic
// archive from 19 on, the archive at exit from 13 on, else none.
StartupCacheMechanism ChooseStartupCacheMechanism(int featureVersion, bool hasJavaLauncher,
                                                  bool backgroundAssembly);

// 16 hex digits naming the cache of these inputs; any change of the library
// stamp, the class path, a VM parameter or the mechanism changes it.
std::u16string StartupCacheKey(const StartupCacheInput& input, uint64_t librarySize,
                               int64_t libraryModified, StartupCacheMechanism mechanism);

// ---- Operating-system layer (startup_cache_posix.cc / startup_cache_win.cc)

struct FileStamp {
  uint64_t size = 0;
  int64_t modified = 0;  // seconds since 1970
  bool directory = false;
};
bool ReadFileStamp(const std::u16string& path, FileStamp& stamp);
int64_t CurrentTimeSeconds();
uint32_t CurrentProcessId();
// The per-user cache base folder; empty when unknown.
std::u16string UserCacheDirectory();
// Creates `path` only when it does not exist yet; false otherwise.
bool CreateNewFile(const std::u16string& path);
bool RemoveFilePath(const std::u16string& path);
// Replaces `to` atomically when it exists.
bool RenameFilePath(const std::u16string& from, const std::u16string& to);
// The name of the runtime's launcher program below bin ("java"/"java.exe").
extern const char16_t kJavaProgramName[];
// Whether AssembleAotCacheInBackground is available on this platform.
bool CanAssembleAotCacheInBackground();
// Starts `javaLauncher options -XX:AOTMode=create ...` detached from this
// process with its output discarded; when it succeeds the cache is renamed
// to <stem>-<size>.aot; the configuration is removed in any case.
bool AssembleAotCacheInBackground(const std::u16string& javaLauncher, const TextList& options,
                                  const std::u16string& configuration,
                                  const std::u16string& output, const std::u16string& stem);

}  // namespace javelin
