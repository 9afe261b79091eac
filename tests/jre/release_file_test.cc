#include "jre/release_file.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

TEST(ReleaseFile, TheFirstLineOfTheKeyGivesItsValueWithoutQuotes) {
  const std::string temurin = "IMPLEMENTOR=\"Eclipse Adoptium\"\nIMPLEMENTOR_VERSION=\"Temurin-25+36\"\n";
  const struct {
    std::string content;
    const char* key;
    const char* value;
  } cases[] = {
      {temurin, "IMPLEMENTOR", "Eclipse Adoptium"},  // not IMPLEMENTOR_VERSION
      {temurin, "JAVA", ""},                         // a key is matched whole
      // CR LF line ends, trailing blanks and a missing last line end.
      {"A=1\r\nJAVA_VERSION=\"1.8.0_402\"  \r\nB=2", "JAVA_VERSION", "1.8.0_402"},
      // Only one pair of quotes goes; a lone quote stays.
      {"K=\"\"x\"\"\n", "K", "\"x\""},
      {"K=\"\n", "K", "\""},
      // The first line wins, even when empty; indented lines and other cases are not the key.
      {"K=\nK=2\n", "K", ""},
      {" K=1\nk=1\nK=2", "K", "2"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ReleaseFileValue(test.content, test.key), test.value) << test.content << " / " << test.key;
  }
  // Bytes stay as they are, NUL included.
  EXPECT_EQ(ReleaseFileValue(std::string("K=\xC3\xA4\0b\n", 7), "K"), std::string("\xC3\xA4\0b", 4));
}

}  // namespace
}  // namespace javelin
