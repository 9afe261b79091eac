// The INI reference shipped with the launcher (docs/ini-reference.md) must
// describe every key the launcher reads, so that the two cannot drift apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "base/message_table.h"
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
    const bool plus = !section.empty() && section.back() == u'+';
    read.insert({ToUtf8(section.substr(0, section.size() - (plus ? 1 : 0))), ToUtf8(key)});
    if (key == u"Main Class") return u"app.Main";
    return key == u"Application Type" && service ? u"service" : u"yes";
  }
  bool FileExists(const std::u16string&) const override { return false; }
  bool service = false;
  mutable std::set<SectionKey> read;
};

std::istringstream Reference() {
  std::string text = test::ReadFile(test::JoinPath(test::SourceDir(), u"docs/ini-reference.md"));
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return std::istringstream(text);
}

// The (section, key) pairs of the reference: a "### [Section]" heading opens
// a section, any other heading closes it, and inside a section every table
// row whose first cell is a name in double quotes documents that key. Every
// key the settings reader asks for, in application and service mode, must be
// there exactly once, and nothing else.
TEST(IniReferenceTest, KeysAndReferenceAgree) {
  std::multiset<SectionKey> documented;
  std::string section;
  std::istringstream lines = Reference();
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("#", 0) == 0) {
      section =
          line.rfind("### [", 0) == 0 && line.back() == ']' ? line.substr(5, line.size() - 6) : "";
    } else if (const size_t close = line.find('"', 3);
               !section.empty() && line.rfind("| \"", 0) == 0 && close != std::string::npos &&
               line.find(" |", 3) == close + 1) {
      documented.emplace(section, line.substr(3, close - 3));
    }
  }
  std::set<SectionKey> known;
  for (const bool service : {false, true}) {
    RecordingSource source;
    source.service = service;
    EXPECT_TRUE(ReadSettings(source, ProcessContext{u"/app/tool", u"/app", u"/app/tool.ini", {}}));
    known.insert(source.read.begin(), source.read.end());
  }
  ResetMessageTexts();  // the source answered "yes" for every text
  EXPECT_GE(known.size(), 29u);
  for (const auto& [section, key] : known) {
    EXPECT_EQ(documented.count({section, key}), 1u)
        << "[" << section << "] \"" << key << "\" is not documented once";
  }
  for (const auto& [section, key] : documented) {
    EXPECT_EQ(known.count({section, key}), 1u)
        << "[" << section << "] \"" << key << "\" is never read";
  }
}

}  // namespace
}  // namespace javelin
