// The desktop's dialog program (zenity, else kdialog), through which a
// launcher without a terminal shows its errors and its question for a Java
// folder in a graphical session.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace javelin {

struct DialogProgram {
  std::string path;      // the program found on PATH
  bool kdialog = false;  // kdialog's options instead of zenity's
};

// The dialog program when a graphical session is there (WAYLAND_DISPLAY or
// DISPLAY set and not empty) and zenity or kdialog is on PATH.
std::optional<DialogProgram> FindDialogProgram();

// What the dialog program answered: its exit status (-1 when it could not
// be started or did not end normally) and what it wrote to its output.
struct DialogAnswer {
  int status = -1;
  std::string output;
};

// Runs `program` with `arguments` (after the program's name) as a child
// process, without a shell: its input and error output are /dev/null, its
// output is read back. Waits until it has ended.
DialogAnswer RunDialogProgram(const DialogProgram& program,
                              const std::vector<std::string>& arguments);

}  // namespace javelin
