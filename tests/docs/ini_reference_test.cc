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
#include "config/settings.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using SectionKey = std::pair<std::string, std::string>;

// Answers like a configuration file that turns every feature on and notes
// each (section, key) the settings reader asks for; a "+" section counts as
// its plain name.
class RecordingSource : public IniSource {
 public:
  explicit RecordingSource(bool service) : service_(service) {}
  std::u16string GetString(const std::u16string&, const std::u16string& section,
                           const std::u16string& key) const override {
    std::u16string plain = section;
    if (!plain.empty() && plain.back() == u'+') plain.pop_back();
    read.insert({ToUtf8(plain), ToUtf8(key)});
    if (key == u"Main Class") return u"app.Main";
    if (key == u"Application Type" && service_) return u"service";
    return u"yes";
  }
  bool FileExists(const std::u16string&) const override { return false; }
  mutable std::set<SectionKey> read;

 private:
  bool service_;
};

// Every key the settings reader asks for, in application and service mode.
std::set<SectionKey> KeysTheLauncherReads() {
  std::set<SectionKey> keys;
  for (const bool service : {false, true}) {
    const RecordingSource source(service);
    EXPECT_TRUE(ReadSettings(source, ProcessContext{u"/app/tool", u"/app", u"/app/tool.ini", {}}));
    keys.insert(source.read.begin(), source.read.end());
  }
  return keys;
}

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

TEST(IniReferenceTest, KeysAndReferenceAgree) {
  const std::string reference = ReadReference();
  ASSERT_FALSE(reference.empty()) << "docs/ini-reference.md not found";
  const std::vector<SectionKey> documented = ParseReferenceKeys(reference);
  const std::set<SectionKey> documentedSet(documented.begin(), documented.end());
  const std::set<SectionKey> known = KeysTheLauncherReads();
  EXPECT_GE(known.size(), 29u);

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
