#include "base/file_system.h"

namespace javelin {

const char16_t kPathSeparator = u'/';

struct FileFinder::State {};
FileFinder::FileFinder() : state_(new State) {}
FileFinder::~FileFinder() = default;
bool FileFinder::FindFile(const std::u16string&) { return false; }
bool FileFinder::FindNext() { return false; }
void FileFinder::Close() {}
bool FileFinder::Found() const { return false; }
std::u16string FileFinder::FileName() const { return {}; }
bool FileFinder::IsDirectory() const { return false; }
const std::u16string& FileFinder::Root() const { static std::u16string empty; return empty; }
bool IsAbsolutePath(const std::u16string&) { return false; }
bool AbsolutePathExists(const std::u16string&) { return false; }
TextList SplitPathComponents(const std::u16string&) { return {}; }
uint32_t CreateParentDirectories(const std::u16string&) { return 0; }
bool RemoveDirectoryLong(const std::u16string&) { return false; }
std::u16string ExpandEnvironment(const std::u16string& text) { return text; }
bool GetEnvironment(const std::u16string&, std::u16string&) { return false; }
bool SetEnvironment(const std::u16string&, const std::u16string&) { return false; }
bool SetCurrentDirectoryPath(const std::u16string&) { return false; }

}  // namespace javelin
