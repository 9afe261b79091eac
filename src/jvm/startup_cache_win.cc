// The startup cache's file and process operations on Windows.
#include <windows.h>

#include "base/file_system.h"
#include "base/win_support.h"
#include "jvm/startup_cache.h"

namespace javelin {

const char16_t kJavaProgramName[] = u"java.exe";

namespace {

// 100-nanosecond ticks since 1601 to seconds since 1970.
int64_t UnixSeconds(const FILETIME& time) {
  const uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

}  // namespace

bool ReadFileStamp(const std::u16string& path, FileStamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(W(path), GetFileExInfoStandard, &data)) return false;
  stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.modified = UnixSeconds(data.ftLastWriteTime);
  stamp.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return true;
}

int64_t CurrentTimeSeconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return UnixSeconds(now);
}

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

std::u16string UserCacheDirectory() {
  std::u16string value;
  if (!GetEnvironment(u"LOCALAPPDATA", value)) return {};
  return value;
}

bool CreateNewFile(const std::u16string& path) {
  // The folder's inherited permissions keep the file the user's.
  const ScopedKernelHandle file(
      CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

// The JVM writes its archives read-only, which would stop both calls.
bool RemoveFilePath(const std::u16string& path) {
  SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(W(path)) != 0;
}

bool RenameFilePath(const std::u16string& from, const std::u16string& to) {
  SetFileAttributesW(W(to), FILE_ATTRIBUTE_NORMAL);
  return MoveFileExW(W(from), W(to), MOVEFILE_REPLACE_EXISTING) != 0;
}

// Folders below %LOCALAPPDATA% inherit the profile's permissions, which
// give the user (and the system and administrators) alone access.
bool CreatePrivateFolders(const std::u16string&, const std::u16string& path) {
  return CreateParentDirectories(path + u"\\x") == 0;
}

FileTrust CheckFileTrust(const std::u16string& path, bool folder) {
  const DWORD attributes = GetFileAttributesW(W(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileTrust::kMissing;
  const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || isFolder != folder)
    return FileTrust::kNotPlain;
  return FileTrust::kTrusted;
}

WriteRoom ReadWriteRoom(const std::u16string& folder) {
  WriteRoom room;
  ULARGE_INTEGER available;
  if (GetDiskFreeSpaceExW(W(folder), &available, nullptr, nullptr))
    room.freeBytes = available.QuadPart;
  return room;
}

bool IsProcessRunning(uint32_t pid, int64_t startedBy) {
  const ScopedKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  FILETIME created, exited, kernel, user;
  bool running = GetExitCodeProcess(process.get(), &code) && code == STILL_ACTIVE;
  if (running && GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) {
    running = UnixSeconds(created) <= startedBy + 1;
  }
  return running;
}

// The background assembly needs a waiter that renames the finished cache;
// Windows uses the dynamic archive, which the JVM writes in-process.
bool CanAssembleAotCacheInBackground() { return false; }

bool AssembleAotCacheInBackground(const std::u16string&, const TextList&, const std::u16string&,
                                  const std::u16string&) {
  return false;
}

}  // namespace javelin
