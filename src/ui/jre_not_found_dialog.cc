#include "ui/jre_not_found_dialog.h"

namespace javelin {

// No way to ask the user yet: behaves as a cancelled dialog.
bool ShowJreNotFoundDialog(Launcher&, const std::u16string&, std::u16string&) { return false; }

}  // namespace javelin
