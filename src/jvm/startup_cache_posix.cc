// The startup cache's file and process operations on POSIX.
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "base/file_system.h"
#include "jvm/startup_cache.h"

extern char** environ;

namespace javelin {

const char16_t kJavaProgramName[] = u"java";

namespace {

// Assembles the AOT cache, then gives it its final name with the size in it.
// Arguments: configuration, stem, then the java command line. The output
// carries this shell's id, so that other starts can tell whether its writer
// still runs. A signal (a stopped service) keeps the configuration for the
// next start; any other failure is remembered.
const char kAssembleScript[] =
    "c=$1 s=$2; shift 2; t=\"$s.$$.aot.tmp\"\n"
    ": >\"$t\"\n"
    "\"$@\" -XX:AOTMode=create \"-XX:AOTConfiguration=$c\" \"-XX:AOTCache=$t\" "
    "'-Xlog:aot*=off,cds*=off'\n"
    "r=$?\n"
    "if [ $r -eq 0 ] && n=$(wc -c <\"$t\") && [ $((n)) -gt 0 ] && mv -f \"$t\" \"$s-$((n)).aot\"; "
    "then\n"
    "  rm -f \"$c\"\n"
    "elif [ $r -lt 128 ]; then\n"
    "  rm -f \"$c\"\n"
    "  ls \"$s\"-*.aot >/dev/null 2>&1 || : >\"$s.failed\"\n"
    "fi\n"
    "rm -f \"$t\"\n";

// Starts the assembly in a shell of its own that this process need not
// wait for: the first shell only starts it and ends at once.
const char kDetachScript[] = "/bin/sh -c \"$0\" javelin-cache \"$@\" &";

bool OwnedByUser(const struct stat& status) { return status.st_uid == geteuid(); }

bool OpenToOthers(const struct stat& status) { return (status.st_mode & (S_IWGRP | S_IWOTH)) != 0; }

}  // namespace

bool ReadFileStamp(const std::u16string& path, FileStamp& stamp) {
  struct stat status;
  if (stat(ToUtf8(path).c_str(), &status) != 0) return false;
  stamp.size = static_cast<uint64_t>(status.st_size);
  stamp.modified = static_cast<int64_t>(status.st_mtime);
  stamp.directory = S_ISDIR(status.st_mode);
  return true;
}

int64_t CurrentTimeSeconds() { return static_cast<int64_t>(time(nullptr)); }

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

std::u16string UserCacheDirectory() {
  const char* cacheHome = getenv("XDG_CACHE_HOME");
  if (cacheHome != nullptr && cacheHome[0] == '/') return FromUtf8(cacheHome);
  const char* home = getenv("HOME");
  if (home == nullptr || *home == 0) {
    const passwd* entry = getpwuid(getuid());
    home = entry != nullptr ? entry->pw_dir : nullptr;
  }
  if (home == nullptr || *home == 0) return {};
  return FromUtf8(home) + u"/.cache";
}

bool CreateNewFile(const std::u16string& path) {
  const int file = open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (file < 0) return false;
  close(file);
  return true;
}

bool RemoveFilePath(const std::u16string& path) { return unlink(ToUtf8(path).c_str()) == 0; }

bool RenameFilePath(const std::u16string& from, const std::u16string& to) {
  return rename(ToUtf8(from).c_str(), ToUtf8(to).c_str()) == 0;
}

bool CreatePrivateFolders(const std::u16string& base, const std::u16string& path) {
  const std::string text = ToUtf8(path);
  for (size_t cut = text.find('/', 1);; cut = text.find('/', cut + 1)) {
    const std::string part = text.substr(0, cut);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (cut == std::string::npos) break;
  }
  for (const std::u16string& folder : ApplicationFolders(base, path)) {
    struct stat status;
    const std::string name = ToUtf8(folder);
    if (lstat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && OwnedByUser(status) &&
        OpenToOthers(status)) {
      chmod(name.c_str(), 0700);
    }
  }
  return true;
}

FileTrust CheckFileTrust(const std::u16string& path, bool folder) {
  struct stat status;
  if (lstat(ToUtf8(path).c_str(), &status) != 0) return FileTrust::kMissing;
  if (folder ? !S_ISDIR(status.st_mode) : !S_ISREG(status.st_mode)) return FileTrust::kNotPlain;
  if (!OwnedByUser(status)) return FileTrust::kOtherOwner;
  if (folder && OpenToOthers(status)) return FileTrust::kOpenToOthers;
  return FileTrust::kTrusted;
}

WriteRoom ReadWriteRoom(const std::u16string& folder) {
  WriteRoom room;
  struct statvfs fileSystem;
  if (statvfs(ToUtf8(folder).c_str(), &fileSystem) == 0) {
    room.freeBytes = static_cast<uint64_t>(fileSystem.f_bavail) * fileSystem.f_frsize;
  }
  struct rlimit limit;
  if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    room.fileSizeLimit = static_cast<uint64_t>(limit.rlim_cur);
  }
  return room;
}

bool IsProcessRunning(uint32_t pid, int64_t startedBy) {
  if (pid == 0 || pid > 0x7FFFFFFFu) return false;
  if (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) return false;
  // The process's start: its clock ticks after boot (field 22 of its stat
  // line, counted after the command name) plus the boot time.
  std::string stat;
  std::string system;
  if (!ReadSmallFile(u"/proc/" + ToDecimal(static_cast<long long>(pid)) + u"/stat", stat) ||
      !ReadSmallFile(u"/proc/stat", system)) {
    return true;
  }
  const size_t name = stat.rfind(')');
  const size_t boot = system.find("\nbtime ");
  if (name == std::string::npos || boot == std::string::npos) return true;
  // A process that has ended but was not yet reaped (state Z or X) does
  // not write any more.
  const char* field = stat.c_str() + name + 1;
  if (stat.size() > name + 2 && (stat[name + 2] == 'Z' || stat[name + 2] == 'X')) return false;
  for (int skipped = 0; skipped < 19 && field != nullptr; ++skipped) field = strchr(field + 1, ' ');
  const long ticks = sysconf(_SC_CLK_TCK);
  if (field == nullptr || ticks <= 0) return true;
  const int64_t started =
      strtoll(system.c_str() + boot + 7, nullptr, 10) + strtoll(field + 1, nullptr, 10) / ticks;
  // A second of slack for the rounding of both clocks.
  return started <= startedBy + 1;
}

bool CanAssembleAotCacheInBackground() { return true; }

bool AssembleAotCacheInBackground(const std::u16string& javaLauncher, const TextList& options,
                                  const std::u16string& configuration, const std::u16string& stem) {
  std::vector<std::string> texts = {"/bin/sh",
                                    "-c",
                                    kDetachScript,
                                    kAssembleScript,
                                    ToUtf8(configuration),
                                    ToUtf8(stem),
                                    ToUtf8(javaLauncher)};
  for (const std::u16string& option : options) texts.push_back(ToUtf8(option));
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(&text[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  // The standard streams on the null device and nothing else: a descriptor
  // of the application (a listening socket, a log file) kept open by the
  // assembly would outlive the application.
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  // The JVM's threads block and handle signals; the assembly starts clean,
  // in a session of its own so that a terminal's Ctrl-C does not cut it.
  sigset_t none;
  sigemptyset(&none);
  sigset_t all;
  sigfillset(&all);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
  flags |= POSIX_SPAWN_SETSID;
#endif
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, flags);

  pid_t child = 0;
  const int result = posix_spawn(&child, "/bin/sh", &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (result != 0) return false;
  // The first shell ends as soon as the assembly runs.
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace javelin
