#include <errno.h>
#include <limits.h>
#include <unistd.h>

#include <string>

#include "base/error_reporter.h"
#include "base/text.h"
#include "ui/jre_not_found_dialog.h"
#include "ui/jre_prompt_posix.h"

namespace javelin {

namespace {

// The dialog's own texts.
const char kSearchHint[] = "Wenn Sie ein JRE installiert haben, können Sie unten danach suchen:";
const char kPathLabel[] = "JRE Pfad: ";
const char kNoJre[] = "Kein JRE: ";

void Write(int output, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(output, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    done += static_cast<size_t>(written);
  }
}

// One line without its line end; nullopt at the end of the input.
std::optional<std::string> ReadLine(int input) {
  std::string line;
  for (;;) {
    char c = 0;
    const ssize_t got = read(input, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (line.empty()) return std::nullopt;
      return line;
    }
    if (c == '\n') return line;
    line += c;
  }
}

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\f\v";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char directory[PATH_MAX];
  if (getcwd(directory, sizeof(directory)) == nullptr) return path;
  std::string absolute = directory;
  if (absolute.back() != '/') absolute += '/';
  return absolute + path;
}

}  // namespace

std::optional<JreDialogChoice> PromptForJre(const JreDialogRequest& request, int input,
                                            int output) {
  Write(output, ToUtf8(request.message) + "\n  " + ToUtf8(DownloadUrlOf(request)) + "\n\n" +
                    kSearchHint + "\n");
  for (;;) {
    Write(output, kPathLabel);
    const std::optional<std::string> line = ReadLine(input);
    if (!line) {
      Write(output, "\n");
      return std::nullopt;
    }
    const std::string answer = Trimmed(*line);
    if (answer.empty()) return std::nullopt;
    const std::string folder = Absolute(answer);
    if (std::optional<JreDialogChoice> choice = CheckPickedFolder(FromUtf8(folder), request.jvmType)) {
      return choice;
    }
    Write(output, std::string(kNoJre) + folder + "\n");
  }
}

std::optional<JreDialogChoice> ShowJreNotFoundDialog(const JreDialogRequest& request) {
  if (isatty(STDIN_FILENO) && isatty(STDERR_FILENO)) {
    return PromptForJre(request, STDIN_FILENO, STDERR_FILENO);
  }
  // Started from a desktop menu, as a service or through a pipe: nobody can
  // answer, so say why the launch ends.
  ReportMessage(request.message + u" " + DownloadUrlOf(request));
  return std::nullopt;
}

}  // namespace javelin
