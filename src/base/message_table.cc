#include "base/message_table.h"

namespace javelin {

namespace {

// Compiled-in German string table. Texts that end in a line feed keep it:
// the report then ends in a line feed, a blank and a second line feed.
const char16_t* const kMessages[] = {
    /* 202 */ u"Windows Fehler: %s (Fehlernummer = %d).\n",
    /* 203 */ u"JNI Fehler: %s\nReason: %s.\n",
    /* 204 */ u"COM Fehler: %s (Fehlernummer = %d).\n",
    /* 205 */ u"JNI Fehler: %s.\n",
    /* 206 */
    u"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren Sie "
    u"eine JRE mit Server JVM (%s) von:",
    /* 207 */
    u"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren Sie "
    u"eine JRE (%s) von:",
    /* 208 */ u"konnte den Modulpfad nicht finden",
    /* 209 */ u"Java-Klassenpfad wurde in der INI-Datei nicht angegeben.",
    /* 210 */ u"Main class in der INI-Datei nicht spezifiziert.",
    /* 211 */ u"Konnte die Main Class: %s nicht laden.\n",
    /* 212 */ u"Kann CreateJavaVM JNI nicht finden",
    /* 213 */ u"konnte die Java VM nicht erzeugen",
    /* 214 */ u"Nach dem JRE-Verzeichnis suchen",
    /* 215 */ u"Konnte die Main class %s nicht finden.\n",
    /* 216 */ u"Keine Main class in der angegebenen Klasse gefunden.\n",
    /* 217 */ u"neueste Version",
    /* 218 */ u"maximum Version %s",
    /* 219 */ u"minimum Version %s",
    /* 220 */ u"Version %s erforderlich",
    /* 221 */ u"Version zwischen %s und %s",
    /* 222 */ u"Konnte Java VM Bibliothek: %s (Fehlernummer= %d) nicht laden.\n",
    /* 223 */ u"konnte nicht initialisieren",
    /* 224 */ u"konnte Modul nicht initialisieren",
    /* 225 */ u"unbekannt",
    /* 226 */ u"Thread von der VM getrennt",
    /* 227 */ u"JNI Versionsfehler",
    /* 228 */ u"nicht gen\u00FCgend Arbeitsspeicher",
    /* 229 */ u"VM bereits erzeugt",
    /* 230 */ u"ung\u00FCltige Argumente",
};

constexpr int kFirstId = 202;
constexpr int kLastId = kFirstId + static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0])) - 1;

}  // namespace

std::u16string LoadMessage(int id) {
  if (id < kFirstId || id > kLastId) return {};
  return kMessages[id - kFirstId];
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
