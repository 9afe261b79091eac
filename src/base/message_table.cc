#include "base/message_table.h"

namespace javelin {

namespace {

// Compiled-in German string table, in Latin-1 (half the size of UTF-16 in
// the executable; every character of both tables is in Latin-1). Texts that
// end in a line feed keep it: the report then ends in a line feed, a blank
// and a second line feed.
const char* const kMessages[] = {
    /* 202 */ "Windows Fehler: %s (Fehlernummer = %d).\n",
    /* 203 */ "JNI Fehler: %s\nReason: %s.\n",
    /* 204 */ "COM Fehler: %s (Fehlernummer = %d).\n",
    /* 205 */ "JNI Fehler: %s.\n",
    /* 206 */
    "Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren Sie "
    "eine JRE mit Server JVM (%s) von:",
    /* 207 */
    "Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren Sie "
    "eine JRE (%s) von:",
    /* 208 */ "konnte den Modulpfad nicht finden",
    /* 209 */ "Java-Klassenpfad wurde in der INI-Datei nicht angegeben.",
    /* 210 */ "Main class in der INI-Datei nicht spezifiziert.",
    /* 211 */ "Konnte die Main Class: %s nicht laden.\n",
    /* 212 */ "Kann CreateJavaVM JNI nicht finden",
    /* 213 */ "konnte die Java VM nicht erzeugen",
    /* 214 */ "Nach dem JRE-Verzeichnis suchen",
    /* 215 */ "Konnte die Main class %s nicht finden.\n",
    /* 216 */ "Keine Main class in der angegebenen Klasse gefunden.\n",
    /* 217 */ "neueste Version",
    /* 218 */ "maximum Version %s",
    /* 219 */ "minimum Version %s",
    /* 220 */ "Version %s erforderlich",
    /* 221 */ "Version zwischen %s und %s",
    /* 222 */ "Konnte Java VM Bibliothek: %s (Fehlernummer= %d) nicht laden.\n",
    /* 223 */ "konnte nicht initialisieren",
    /* 224 */ "konnte Modul nicht initialisieren",
    /* 225 */ "unbekannt",
    /* 226 */ "Thread von der VM getrennt",
    /* 227 */ "JNI Versionsfehler",
    /* 228 */ "nicht gen\xFCgend Arbeitsspeicher",
    /* 229 */ "VM bereits erzeugt",
    /* 230 */ "ung\xFCltige Argumente",
    // The question for a Java folder, in DialogText order.
    "JRE nicht gefunden",
    "Kein JRE",
    "Wenn Sie ein JRE installiert haben, k\xF6nnen Sie unten danach suchen:",
    "JRE Pfad:",
    "Durchsuche...",
    "Ok",
    "Abbrechen",
};

// The same texts in English, with the same placeholders and line feeds.
const char* const kEnglishMessages[] = {
    /* 202 */ "Windows error: %s (error number = %d).\n",
    /* 203 */ "JNI error: %s\nReason: %s.\n",
    /* 204 */ "COM error: %s (error number = %d).\n",
    /* 205 */ "JNI error: %s.\n",
    /* 206 */
    "The Java Runtime Environment (JRE) was not found. Please download and install a JRE with a "
    "server JVM (%s) from:",
    /* 207 */
    "The Java Runtime Environment (JRE) was not found. Please download and install a JRE (%s) "
    "from:",
    /* 208 */ "could not find the module path",
    /* 209 */ "The Java class path is not specified in the INI file.",
    /* 210 */ "Main class not specified in the INI file.",
    /* 211 */ "Could not load the main class: %s.\n",
    /* 212 */ "Cannot find CreateJavaVM JNI",
    /* 213 */ "could not create the Java VM",
    /* 214 */ "Browse for the JRE folder",
    /* 215 */ "Could not find the main class %s.\n",
    /* 216 */ "No main method found in the given class.\n",
    /* 217 */ "newest version",
    /* 218 */ "maximum version %s",
    /* 219 */ "minimum version %s",
    /* 220 */ "version %s required",
    /* 221 */ "version between %s and %s",
    /* 222 */ "Could not load the Java VM library: %s (error number = %d).\n",
    /* 223 */ "could not initialize",
    /* 224 */ "could not initialize the module",
    /* 225 */ "unknown",
    /* 226 */ "thread detached from the VM",
    /* 227 */ "JNI version error",
    /* 228 */ "not enough memory",
    /* 229 */ "VM already created",
    /* 230 */ "invalid arguments",
    "JRE not found",
    "No JRE",
    "If you have a JRE installed, you can browse for it below:",
    "JRE path:",
    "Browse...",
    "OK",
    "Cancel",
};

// The [Messages] names of the dialog texts, in DialogText order.
const char16_t* const kDialogTextNames[] = {
    u"Dialog Title",  u"Dialog Frame", u"Dialog Hint",   u"Dialog Path Label",
    u"Dialog Browse", u"Dialog OK",    u"Dialog Cancel",
};

constexpr int kFirstId = 202;
constexpr int kTextCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));
constexpr int kDialogTextCount =
    static_cast<int>(sizeof(kDialogTextNames) / sizeof(kDialogTextNames[0]));
constexpr int kMessageCount = kTextCount - kDialogTextCount;
constexpr int kLastId = kFirstId + kMessageCount - 1;
static_assert(sizeof(kEnglishMessages) == sizeof(kMessages), "one English text per German one");

// The choices of the configuration; made once during start-up, before any
// other thread exists. Allocated only when something is customised, so the
// plain German launcher carries no such state.
struct CustomTexts {
  bool english = false;
  std::u16string replacement[kTextCount];
  bool replaced[kTextCount] = {};
};
CustomTexts* customTexts = nullptr;

CustomTexts& Custom() {
  if (customTexts == nullptr) customTexts = new CustomTexts;
  return *customTexts;
}

std::u16string FromLatin1(const char* text) {
  std::u16string wide;
  for (; *text != '\0'; ++text) wide.push_back(static_cast<unsigned char>(*text));
  return wide;
}

std::u16string TextAt(int index) {
  if (customTexts == nullptr) return FromLatin1(kMessages[index]);
  if (customTexts->replaced[index]) return customTexts->replacement[index];
  return FromLatin1((customTexts->english ? kEnglishMessages : kMessages)[index]);
}

// The conversions of a format text in order ("sd" for "%s ... %d"); "%%"
// is none.
std::u16string Placeholders(const std::u16string& text) {
  std::u16string conversions;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'%') continue;
    if (text[i + 1] == u's' || text[i + 1] == u'd') conversions.push_back(text[i + 1]);
    ++i;
  }
  return conversions;
}

}  // namespace

std::u16string LoadMessage(int id) {
  if (id < kFirstId || id > kLastId) return {};
  return TextAt(id - kFirstId);
}

std::u16string LoadDialogText(DialogText text) {
  return TextAt(kMessageCount + static_cast<int>(text));
}

bool SelectMessageLanguage(const std::u16string& code) {
  if (!EqualsIgnoreCase(code, u"en")) return false;
  Custom().english = true;
  return true;
}

int MessageTextCount() { return kTextCount; }

std::u16string MessageTextName(int index) {
  if (index < 0 || index >= kTextCount) return {};
  if (index < kMessageCount) return ToDecimal(kFirstId + index);
  return kDialogTextNames[index - kMessageCount];
}

bool OverrideMessageText(const std::u16string& name, const std::u16string& text) {
  for (int index = 0; index < kTextCount; ++index) {
    if (!EqualsIgnoreCase(MessageTextName(index), name)) continue;
    // A replacement must take the same arguments, or formatting would put
    // a number where a text belongs or drop an argument.
    if (Placeholders(text) != Placeholders(FromLatin1(kMessages[index]))) return false;
    CustomTexts& custom = Custom();
    custom.replacement[index] = text;
    custom.replaced[index] = true;
    return true;
  }
  return false;
}

bool MessageTextsCustomised() { return customTexts != nullptr; }

void ResetMessageTexts() {
  delete customTexts;
  customTexts = nullptr;
}

std::u16string FormatMessageText(const std::u16string& format,
                                 std::initializer_list<FormatArgument> arguments) {
  std::u16string out;
  auto next = arguments.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    const char16_t c = format[i];
    if (c != u'%' || i + 1 >= format.size()) {
      out.push_back(c);
      continue;
    }
    const char16_t conversion = format[i + 1];
    if (conversion == u'%') {
      out.push_back(u'%');
      ++i;
    } else if (conversion == u's' || conversion == u'd') {
      ++i;
      if (next == arguments.end()) {
        if (conversion == u'd') out.push_back(u'0');
        continue;
      }
      const FormatArgument& argument = *next++;
      if (conversion == u'd') {
        // %d prints a signed 32-bit value, so codes above 2^31 show negative.
        const long long number = argument.isNumber ? argument.number : 0;
        out += ToDecimal(static_cast<int32_t>(static_cast<uint32_t>(number)));
      } else if (argument.text != nullptr) {
        out += *argument.text;
      } else if (argument.literalText != nullptr) {
        out += argument.literalText;
      }
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace javelin
