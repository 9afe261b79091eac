// Fuzzes Javelin's own INI reader and writer: any bytes decode, parse and
// answer queries, and a value written into the text reads back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/ini_text.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace javelin;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const IniText decoded = DecodeIniBytes(bytes);
  const std::u16string& text = decoded.text;

  // Queries with the launcher's own names and with names the file holds.
  FindIniValue(text, u"Java Runtime Environment", u"Main Class");
  FindIniValue(text, u"Application+", u"Cmd");
  FindIniValue(text, u"", u"");

  // Encoding the text again gives the same text back: always in the file's
  // own encoding, in the others unless the text starts with U+FEFF, which a
  // file without a byte-order mark cannot hold.
  Check(DecodeIniBytes(EncodeIniText(text, decoded.encoding)).text == text);
  if (text.empty() || text.front() != 0xFEFF) {
    for (IniEncoding encoding : {IniEncoding::kUtf8, IniEncoding::kUtf8Bom,
                                 IniEncoding::kUtf16LeBom, IniEncoding::kUtf16BeBom}) {
      Check(DecodeIniBytes(EncodeIniText(text, encoding)).text == text);
    }
  }

  // A written value reads back, whatever the file held before.
  const std::u16string updated =
      SetIniValue(text, u"Java Runtime Environment", u"JRE Path", u"C:\\Program Files\\Java");
  Check(FindIniValue(updated, u"java runtime environment", u"jre path") ==
        u"C:\\Program Files\\Java");
  const std::u16string added = SetIniValue(text, u"Fuzz+", u"New Key", u"'quoted value'");
  Check(FindIniValue(added, u"Fuzz+", u"New Key") == u"quoted value");
  return 0;
}
