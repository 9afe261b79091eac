#include "ui/jre_not_found_dialog.h"

namespace javelin {

// No way to ask the user yet: behaves as a cancelled dialog.
std::optional<JreDialogChoice> ShowJreNotFoundDialog(const JreDialogRequest&) { return std::nullopt; }

}  // namespace javelin
