// The INI reference shipped with the launcher (docs/ini-reference.md) must
// describe every key the launcher reads and every message it can print, with
// the launcher's own texts, so that the two cannot drift apart.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/message_table.h"
#include "base/text.h"
#include "config/settings.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using SectionKey = std::pair<std::string, std::string>;

// Answers like a configuration file that turns every feature on and notes
// each (section, key) the settings reader asks for; a "+" section counts as
// its plain name.
struct RecordingSource : IniSource {
  std::u16string GetString(const std::u16string&, const std::u16string& section,
                           const std::u16string& key) const override {
    std::u16string plain = section;
    if (!plain.empty() && plain.back() == u'+') plain.pop_back();
    read.insert({ToUtf8(plain), ToUtf8(key)});
    if (key == u"Main Class") return u"app.Main";
    if (key == u"Application Type" && service) return u"service";
    return u"yes";
  }
  bool FileExists(const std::u16string&) const override { return false; }
  bool service = false;
  mutable std::set<SectionKey> read;
};

std::vector<std::string> ReferenceLines() {
  std::istringstream text(test::ReadFile(test::JoinPath(test::SourceDir(), u"docs/ini-reference.md")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The (section, key) pairs of the reference: a "### [Section]" heading opens
// a section, any other heading closes it, and inside a section every table
// row whose first cell is a name in double quotes documents that key. Every
// key the settings reader asks for, in application and service mode, must be
// there exactly once, and nothing else.
TEST(IniReferenceTest, KeysAndReferenceAgree) {
  const std::vector<std::string> lines = ReferenceLines();
  ASSERT_GT(lines.size(), 1u) << "docs/ini-reference.md not found";
  std::multiset<SectionKey> documented;
  std::string section;
  for (const std::string& line : lines) {
    if (line.rfind("#", 0) == 0) {
      section = line.rfind("### [", 0) == 0 && line.back() == ']' ? line.substr(5, line.size() - 6) : "";
    } else if (!section.empty() && line.rfind("| \"", 0) == 0) {
      const size_t close = line.find('"', 3);
      if (close != std::string::npos && line.find(" |", 3) == close + 1) {
        documented.emplace(section, line.substr(3, close - 3));
      }
    }
  }
  std::set<SectionKey> known;
  for (const bool service : {false, true}) {
    RecordingSource source;
    source.service = service;
    EXPECT_TRUE(ReadSettings(source, ProcessContext{u"/app/tool", u"/app", u"/app/tool.ini", {}}));
    known.insert(source.read.begin(), source.read.end());
  }
  EXPECT_GE(known.size(), 29u);
  for (const auto& [section, key] : known) {
    EXPECT_EQ(documented.count({section, key}), 1u) << "[" << section << "] \"" << key << "\" is not documented once";
  }
  for (const auto& [section, key] : documented) {
    EXPECT_EQ(known.count({section, key}), 1u) << "[" << section << "] \"" << key << "\" is never read";
  }
}

// The message rows: "| <id> | `<text>` | ..." with line feeds written \n.
TEST(IniReferenceTest, MessagesMatchTheMessageTable) {
  int id = kMsgWindowsError;
  for (const std::string& line : ReferenceLines()) {
    if (line.size() < 10 || line.rfind("| 2", 0) != 0 || line.compare(5, 4, " | `") != 0) continue;
    const size_t close = line.find("` |", 9);
    if (close == std::string::npos) continue;
    std::string expected;
    for (char c : ToUtf8(LoadMessage(id))) expected += c == '\n' ? std::string("\\n") : std::string(1, c);
    EXPECT_EQ(std::stoi(line.substr(2, 3)), id);
    EXPECT_EQ(line.substr(9, close - 9), expected) << "message " << id;
    ++id;
  }
  EXPECT_EQ(id, kMsgJniReasonInvalid + 1);
}

}  // namespace
}  // namespace javelin
