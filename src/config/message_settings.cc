#include "config/message_settings.h"

#include "base/error_reporter.h"
#include "base/message_table.h"
#include "base/trace.h"
#include "config/settings.h"

namespace javelin {

const char16_t kMessagesSection[] = u"Messages";

void ApplyMessageSettings(const IniConfig& config, const Settings& settings) {
  if (settings.serviceMode) AllowErrorDialogs(false);
  SetErrorDialogTitle(settings.productName);

  ResetMessageTexts();
  std::u16string language = config.GetString(kApplicationSection, u"Message Language");
  language.erase(0, language.find_first_not_of(u' '));
  SelectMessageLanguage(language);
  // Replacements have no "+" section: they belong to the vendor's texts.
  for (int index = 0; index < MessageTextCount(); ++index) {
    const std::u16string name = MessageTextName(index);
    const std::u16string text = config.GetPlainString(kMessagesSection, name);
    if (text.empty()) continue;
    if (!OverrideMessageText(name, text)) {
      Trace(u"[Messages] " + name + u" ignored: its %s and %d differ from the built-in text's");
    }
  }
}

}  // namespace javelin
