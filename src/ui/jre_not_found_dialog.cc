#include "ui/jre_not_found_dialog.h"

#include "base/file_system.h"
#include "jre/jvm_library.h"

namespace javelin {

std::u16string DownloadUrlOf(const JreDialogRequest& request) {
  return request.downloadUrl.empty() ? std::u16string(kDefaultDownloadUrl) : request.downloadUrl;
}

std::optional<JreDialogChoice> CheckPickedFolder(const std::u16string& folder, int32_t jvmType) {
  JreDialogChoice choice;
  choice.javaHome = folder;
  if (choice.javaHome.empty() || choice.javaHome.back() != kPathSeparator) {
    choice.javaHome += kPathSeparator;
  }
  choice.jvmLibraryPath = SelectJvmLibrary(choice.javaHome, jvmType);
  if (choice.jvmLibraryPath.empty()) return std::nullopt;
  return choice;
}

}  // namespace javelin
