#include <errno.h>
#include <limits.h>
#include <unistd.h>

#include <string>

#include "base/dialog_program_posix.h"
#include "base/error_reporter.h"
#include "base/message_table.h"
#include "base/text.h"
#include "ui/jre_not_found_dialog.h"
#include "ui/jre_prompt_posix.h"

namespace javelin {

namespace {

std::string Text(DialogText text) { return ToUtf8(LoadDialogText(text)); }

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
                    Text(DialogText::kSearchHint) + "\n");
  for (;;) {
    Write(output, Text(DialogText::kPathLabel) + " ");
    const std::optional<std::string> line = ReadLine(input);
    if (!line) {
      Write(output, "\n");
      return std::nullopt;
    }
    const std::string answer = Trimmed(*line);
    if (answer.empty()) return std::nullopt;
    const std::string folder = Absolute(answer);
    if (std::optional<JreDialogChoice> choice =
            CheckPickedFolder(FromUtf8(folder), request.jvmType)) {
      return choice;
    }
    Write(output, Text(DialogText::kGroupTitle) + ": " + folder + "\n");
  }
}

namespace {

// The question as a dialog: the message, the download address and the hint
// above a folder field; OK checks the folder as the terminal prompt does and
// asks again, naming the folder, when it holds no runtime. Browse (zenity)
// fills the field from a folder picker. Cancel or the close box: nullopt.
std::optional<JreDialogChoice> AskWithDialogProgram(const JreDialogRequest& request,
                                                    const DialogProgram& program) {
  const std::string title = Text(DialogText::kTitle);
  const std::string question = ToUtf8(request.message) + "\n" + ToUtf8(DownloadUrlOf(request)) +
                               "\n\n" + Text(DialogText::kSearchHint) + "\n" +
                               Text(DialogText::kPathLabel);
  const std::string browse = Text(DialogText::kBrowseButton);
  std::string complaint;
  std::string typed;
  for (;;) {
    const std::string text = complaint.empty() ? question : complaint + "\n\n" + question;
    const DialogAnswer answer =
        program.kdialog
            ? RunDialogProgram(program, {"--title", title, "--inputbox", text, typed})
            : RunDialogProgram(
                  program, {"--entry", "--title=" + title, "--text=" + text,
                            "--entry-text=" + typed, "--ok-label=" + Text(DialogText::kOkButton),
                            "--cancel-label=" + Text(DialogText::kCancelButton),
                            "--extra-button=" + browse, "--width=480"});
    std::string line = answer.output.substr(0, answer.output.find('\n'));
    if (answer.status == 1 && !program.kdialog && line == browse) {
      // The folder picker fills the field; the question stays open.
      const DialogAnswer picked =
          RunDialogProgram(program, {"--file-selection", "--directory",
                                     "--title=" + ToUtf8(LoadMessage(kMsgBrowseJreTitle))});
      if (picked.status == 0) typed = picked.output.substr(0, picked.output.find('\n'));
      continue;
    }
    if (answer.status != 0) return std::nullopt;
    typed = line;
    const std::string answered = Trimmed(line);
    if (answered.empty()) continue;
    const std::string folder = Absolute(answered);
    if (std::optional<JreDialogChoice> choice =
            CheckPickedFolder(FromUtf8(folder), request.jvmType)) {
      return choice;
    }
    complaint = Text(DialogText::kGroupTitle) + ": " + folder;
  }
}

}  // namespace

std::optional<JreDialogChoice> ShowJreNotFoundDialog(const JreDialogRequest& request) {
  if (isatty(STDIN_FILENO) && isatty(STDERR_FILENO)) {
    return PromptForJre(request, STDIN_FILENO, STDERR_FILENO);
  }
  // Started from a desktop menu: the question becomes a dialog of the
  // desktop's dialog program.
  if (ErrorDialogsAllowed()) {
    if (std::optional<DialogProgram> program = FindDialogProgram())
      return AskWithDialogProgram(request, *program);
  }
  // As a service, through a pipe or without a desktop: nobody can answer,
  // so say why the launch ends.
  ReportMessage(request.message + u" " + DownloadUrlOf(request));
  return std::nullopt;
}

}  // namespace javelin
