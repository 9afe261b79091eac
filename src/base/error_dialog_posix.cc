#include <limits.h>
#include <unistd.h>

#include "base/dialog_program_posix.h"
#include "base/error_reporter.h"
#include "base/text.h"

namespace javelin {

namespace {

// The executable's file name, the title when the configuration names no
// product.
std::string ExecutableName() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return "Java";
  const std::string full(path, static_cast<size_t>(length));
  return full.substr(full.rfind('/') + 1);
}

}  // namespace

bool ShowErrorDialog(const std::u16string& title, const std::u16string& text) {
  const std::optional<DialogProgram> program = FindDialogProgram();
  if (!program) return false;
  const std::string shownTitle = title.empty() ? ExecutableName() : ToUtf8(title);
  const std::string shownText = ToUtf8(text);
  // Both programs end with 0 when the user closes the dialog with its
  // button. Any other status (1 is also that of a display that cannot be
  // opened) lets the report go to standard output as well.
  const DialogAnswer answer =
      program->kdialog
          ? RunDialogProgram(*program, {"--title", shownTitle, "--error", shownText})
          : RunDialogProgram(*program, {"--error", "--no-markup", "--title=" + shownTitle,
                                        "--text=" + shownText, "--width=420"});
  return answer.status == 0;
}

}  // namespace javelin
