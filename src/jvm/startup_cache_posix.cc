// The startup cache's file and process operations on POSIX.
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <vector>

#include "jvm/startup_cache.h"

extern char** environ;

namespace javelin {

const char16_t kJavaProgramName[] = u"java";

namespace {

// Assembles the AOT cache, then gives it its final name with the size in it.
// Arguments: configuration, output, stem, then the java command line.
const char kAssembleScript[] =
    "c=$1 t=$2 s=$3; shift 3\n"
    "if \"$@\" -XX:AOTMode=create \"-XX:AOTConfiguration=$c\" \"-XX:AOTCache=$t\" "
    "'-Xlog:aot*=off,cds*=off'; then\n"
    "  n=$(wc -c <\"$t\") && mv -f \"$t\" \"$s-$((n)).aot\"\n"
    "fi\n"
    "rm -f \"$c\" \"$t\"\n";

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
  const int file = open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (file < 0) return false;
  close(file);
  return true;
}

bool RemoveFilePath(const std::u16string& path) { return unlink(ToUtf8(path).c_str()) == 0; }

bool RenameFilePath(const std::u16string& from, const std::u16string& to) {
  return rename(ToUtf8(from).c_str(), ToUtf8(to).c_str()) == 0;
}

bool CanAssembleAotCacheInBackground() { return true; }

bool AssembleAotCacheInBackground(const std::u16string& javaLauncher, const TextList& options,
                                  const std::u16string& configuration,
                                  const std::u16string& output, const std::u16string& stem) {
  std::vector<std::string> texts = {"/bin/sh",          "-c",           kAssembleScript,
                                    "javelin-cache",    ToUtf8(configuration), ToUtf8(output),
                                    ToUtf8(stem),       ToUtf8(javaLauncher)};
  for (const std::u16string& option : options) texts.push_back(ToUtf8(option));
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(&text[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  // Nothing of the assembly reaches the application's streams.
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
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
  return result == 0;
}

}  // namespace javelin
