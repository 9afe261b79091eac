// The INI reference shipped with the launcher (docs/ini-reference.md) must
// describe every key the launcher reads and every message it can print, with
// the launcher's own texts, so that the two cannot drift apart.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/message_table.h"
#include "base/text.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using SectionKey = std::pair<std::string, std::string>;

// The keys the launcher reads, by section. Keep this list next to the
// settings reader's own: a key added there without a reference entry makes
// KeysAndReferenceAgree fail.
const std::vector<SectionKey> kKeysTheLauncherReads = {
    {"Product Information", "Product Code"},
    {"Product Information", "Product Name"},
    {"Java Runtime Environment", "Minimum Version"},
    {"Java Runtime Environment", "Maximum Version"},
    {"Java Runtime Environment", "Preferred versions"},
    {"Java Runtime Environment", "JRE Path"},
    {"Java Runtime Environment", "JVM Type"},
    {"Java Runtime Environment", "JVM Source"},
    {"Java Runtime Environment", "VM Provider"},
    {"Java Runtime Environment", "Main Class"},
    {"Java Runtime Environment", "System Path"},
    {"Java Runtime Environment", "Library Path"},
    {"Java Runtime Environment", "Virtual Machine Parameters"},
    {"Java Runtime Environment", "Download URL"},
    {"Java Runtime Environment", "Startup Cache"},
    {"Application", "Application Type"},
    {"Application", "Omit Service Name"},
    {"Application", "Failure Check"},
    {"Application", "Override WorkingDir"},
    {"Application", "Pair Product"},
    {"Application", "Pair Return Code"},
    {"Application", "Single Instance"},
    {"Application", "Embedded Jar"},
    {"Application", "Output File"},
    {"Application", "Output Append"},
    {"Application", "Error File"},
    {"Application", "Error Append"},
    {"Application", "Cmd"},
    {"Class Path", "Class Path"},
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The (section, key) pairs of the reference: a "### [Section]" heading opens
// a section, any other heading closes it, and inside a section every table
// row whose first cell is a name in double quotes documents that key.
// Duplicates are kept, so that a test can see them.
std::vector<SectionKey> ParseReferenceKeys(const std::string& markdown) {
  std::vector<SectionKey> keys;
  std::string section;
  for (const std::string& line : Lines(markdown)) {
    if (StartsWith(line, "#")) {
      section.clear();
      if (StartsWith(line, "### [") && line.back() == ']') section = line.substr(5, line.size() - 6);
      continue;
    }
    if (section.empty() || !StartsWith(line, "| \"")) continue;
    const size_t close = line.find('"', 3);
    const size_t cellEnd = line.find(" |", 3);
    if (close == std::string::npos || cellEnd != close + 1) continue;
    keys.emplace_back(section, line.substr(3, close - 3));
  }
  return keys;
}

// The message rows: "| <id> | `<text>` | ..." with line feeds written \n.
std::vector<std::pair<int, std::string>> ParseReferenceMessages(const std::string& markdown) {
  std::vector<std::pair<int, std::string>> messages;
  for (const std::string& line : Lines(markdown)) {
    if (line.size() < 10 || !StartsWith(line, "| 2") || line.compare(5, 4, " | `") != 0) continue;
    const size_t close = line.find("` |", 9);
    if (close == std::string::npos) continue;
    messages.emplace_back(std::stoi(line.substr(2, 3)), line.substr(9, close - 9));
  }
  return messages;
}

std::string WithEscapedLineFeeds(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string ReadReference() {
  return test::ReadFile(test::JoinPath(test::SourceDir(), u"docs/ini-reference.md"));
}

TEST(IniReferenceTest, ParserFindsKeysOnlyInsideSectionHeadings) {
  struct Case {
    const char* markdown;
    std::vector<SectionKey> expected;
  };
  const Case cases[] = {
      {"### [Application]\n| Key | Values |\n|---|---|\n| \"Cmd\" | arguments |\n",
       {{"Application", "Cmd"}}},
      // A "+" name and names with blanks are taken whole; CR LF line ends.
      {"### [Class Path]\r\n| \"Class Path\" | x |\r\n### [Application+]\r\n| \"Cmd\" | y |\r\n",
       {{"Class Path", "Class Path"}, {"Application+", "Cmd"}}},
      // Rows before any section and after a heading of another kind do not count.
      {"| \"Stray\" | x |\n### [Application]\n| \"Cmd\" | x |\n## Messages\n| \"Later\" | x |\n",
       {{"Application", "Cmd"}}},
      // Quotes later in a row, or a first cell that is not one quoted name.
      {"### [Application]\n| 210 | \"Main Class\" |\n| \"a\" and \"b\" | x |\n", {}},
      {"### Application\n| \"Cmd\" | x |\n", {}},
      // The same key twice stays twice.
      {"### [Application]\n| \"Cmd\" | a |\n| \"Cmd\" | b |", {{"Application", "Cmd"}, {"Application", "Cmd"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseReferenceKeys(c.markdown), c.expected) << c.markdown;
  }
}

TEST(IniReferenceTest, KeysAndReferenceAgree) {
  const std::string reference = ReadReference();
  ASSERT_FALSE(reference.empty()) << "docs/ini-reference.md not found";
  const std::vector<SectionKey> documented = ParseReferenceKeys(reference);
  const std::set<SectionKey> documentedSet(documented.begin(), documented.end());
  const std::set<SectionKey> known(kKeysTheLauncherReads.begin(), kKeysTheLauncherReads.end());

  EXPECT_EQ(documentedSet.size(), documented.size()) << "a key is documented twice";
  for (const SectionKey& key : known) {
    EXPECT_EQ(documentedSet.count(key), 1u)
        << "[" << key.first << "] \"" << key.second << "\" is read but not documented";
  }
  for (const SectionKey& key : documentedSet) {
    EXPECT_EQ(known.count(key), 1u)
        << "[" << key.first << "] \"" << key.second << "\" is documented but never read";
  }
}

TEST(IniReferenceTest, MessagesMatchTheMessageTable) {
  const std::vector<std::pair<int, std::string>> documented = ParseReferenceMessages(ReadReference());
  ASSERT_EQ(documented.size(), static_cast<size_t>(kMsgJniReasonInvalid - kMsgWindowsError + 1));
  int id = kMsgWindowsError;
  for (const auto& [documentedId, text] : documented) {
    EXPECT_EQ(documentedId, id);
    EXPECT_EQ(text, WithEscapedLineFeeds(ToUtf8(LoadMessage(id)))) << "message " << id;
    ++id;
  }
}

}  // namespace
}  // namespace javelin
