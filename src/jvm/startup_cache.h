// The startup cache: a class-data archive (JDK 13 to 24) or an ahead-of-time
// cache (JDK 25 and later) kept per user and per application, so that later
// starts skip most of the JVM's class loading and linking.
//
// Files in the cache folder, all named after a stem "<runtime>-<key>": the
// runtime part hashes the JVM library's path, the key everything that
// invalidates a file (JVM library path, size and modification time, class
// path, VM parameters, the mechanism):
//   <stem>-<size>.jsa / <stem>-<size>.aot finished archive / AOT cache; the
//                                         size in the name proves the file
//                                         whole (a cut archive can crash a
//                                         JDK 17 JVM, so it is never offered)
//   <stem>.<pid>.jsa.tmp                  archive being written by a JVM
//   <stem>.<pid>.aotconf                  AOT configuration being recorded
//   <stem>.aotconf                        recorded AOT configuration waiting
//                                         to be assembled
//   <stem>.<pid>.aot.tmp                  AOT cache being assembled
//   <stem>.failed                         a write that failed (its time)
// A JVM only ever writes to a name of its own process; the finished name
// appears by an atomic rename, so concurrent starts never see half a file.
// A pending file counts as in the making only while the process named in it
// runs. Each runtime keeps its newest files; writing one runtime's file
// removes only the older files of the same runtime.
#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"
#include "config/version.h"

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
  int featureVersion = 0;         // 8, 11, 17, 25...; 0 when unknown
  std::u16string cacheFolder;     // per-user per-application folder
  std::u16string jvmLibraryPath;  // its size and modification time are read here
  std::u16string javaHome;        // for bin/java
  std::u16string classPath;       // the assembled class path (platform list separator)
  TextList vmParameters;          // the VM parameters as handed to the JVM
};

struct StartupCachePlan {
  TextList options;         // JVM options to append after the VM parameters
  std::u16string file;      // the cache file used or to be created; empty when none
  std::u16string decision;  // one line for the launch trace
  StartupCacheMechanism mechanism = StartupCacheMechanism::kNone;
  // Set when this run writes a file that FinishStartupCache completes.
  std::u16string pendingFile;
  std::u16string stem;          // <folder>/<key>
  std::u16string javaLauncher;  // <java.home>/bin/java (AOT cache only)
  TextList creationOptions;     // class path and VM parameters for assembling the AOT cache
  // The JVM's own console output is to pass through a filter that drops the
  // line announcing the recorded AOT configuration (see vm_output_filter.h).
  bool filterVmOutput = false;
};

// Decides whether and how this launch uses the cache, prepares the folder
// and returns the JVM options. Never fails: every problem ends in a plan
// without options and a decision that says why. A file the user does not
// own, or a folder others can write, is passed over and traced. When an AOT
// configuration recorded by an earlier start is waiting, its assembly is
// started in the background here and this launch runs without the cache.
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

// 8 hex digits naming the runtime (its JVM library) of a cache file.
std::u16string StartupCacheRuntimeId(const std::u16string& jvmLibraryPath);

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
// Creates `path` (readable and writable by the user only) when it does
// not exist yet; false otherwise.
bool CreateNewFile(const std::u16string& path);
// `folder` and its parents below `base` (the user's cache folder): the
// folders that belong to the application. Only `folder` when it is not
// below `base`.
TextList ApplicationFolders(const std::u16string& base, const std::u16string& folder);

// Creates the missing folders of `path` for the user alone (0700); of the
// ApplicationFolders, one of the user's own that others could write is
// made private. False when a folder cannot be created.
bool CreatePrivateFolders(const std::u16string& base, const std::u16string& path);

enum class FileTrust {
  kTrusted,
  kMissing,
  kNotPlain,      // a link, or not the kind asked for (file/folder)
  kOtherOwner,    // belongs to another user
  kOpenToOthers,  // a folder that others can write
};
// Whether the JVM may be handed `path`: a regular file (or, with
// `folder`, a folder) that is no link and belongs to the user; a folder
// only the user can write.
FileTrust CheckFileTrust(const std::u16string& path, bool folder);

// What a write in `folder` can take: the free space of its file system and
// the largest file this process may write (UINT64_MAX when unlimited or
// unknown).
struct WriteRoom {
  uint64_t freeBytes = UINT64_MAX;
  uint64_t fileSizeLimit = UINT64_MAX;
};
WriteRoom ReadWriteRoom(const std::u16string& folder);

// Whether process `pid` runs and started no later than `startedBy`
// (seconds since 1970): a process started after a file was last written
// cannot be the one that wrote it, even when it got the same id.
bool IsProcessRunning(uint32_t pid, int64_t startedBy);
bool RemoveFilePath(const std::u16string& path);
// Replaces `to` atomically when it exists.
bool RenameFilePath(const std::u16string& from, const std::u16string& to);
// The name of the runtime's launcher program below bin ("java"/"java.exe").
extern const char16_t kJavaProgramName[];
// Whether AssembleAotCacheInBackground is available on this platform.
bool CanAssembleAotCacheInBackground();
// Starts `javaLauncher options -XX:AOTMode=create ...` detached from this
// process, with the standard streams on the null device and no other
// descriptor. It writes <stem>.<its pid>.aot.tmp and renames the finished
// cache to <stem>-<size>.aot. The configuration is removed when the
// assembly ends, unless a signal ended it (a stopped service): then the
// next start assembles it again. A failure leaves <stem>.failed.
bool AssembleAotCacheInBackground(const std::u16string& javaLauncher, const TextList& options,
                                  const std::u16string& configuration, const std::u16string& stem);

}  // namespace javelin
