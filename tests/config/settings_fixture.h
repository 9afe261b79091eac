// Reads settings from an INI file written by the test, for a launcher that
// pretends to live in a temporary folder. The per-user settings folder is
// redirected into that folder too.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "base/file_system.h"
#include "config/scoped_environment.h"
#include "config/settings.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin::test {

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { RedirectUserSettings(environment_, UserSettingsRoot()); }

  std::u16string ModulePath() const { return dir_ / u"app/tool.exe"; }
  std::u16string AppFolder() const { return dir_ / u"app"; }
  // The configuration file of the next read.
  const std::u16string& IniPath() const { return iniPath_; }
  std::u16string UserSettingsRoot() const { return dir_ / u"user"; }

  // Moves on to a configuration file that does not exist yet. Every content
  // gets a file of its own: the Windows profile functions may keep a file
  // they have read and notice a change only by its modification time.
  const std::u16string& FreshIniPath() {
    iniPath_ = dir_ / (u"app/tool" + ToDecimal(++files_) + u".ini");
    return iniPath_;
  }

  // Replaces a file that has been read before, late enough for its new
  // modification time to differ.
  static void RewriteFile(const std::u16string& path, const std::string& bytes) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    WriteFile(path, bytes);
  }

  // Writes `ini` as the configuration file and reads it into `launcher`;
  // `output` receives what was printed.
  bool Read(Launcher& launcher, const std::string& ini, std::string* output = nullptr) {
    WriteFile(FreshIniPath(), ini);
    return ReadWithoutWriting(launcher, output);
  }

  bool ReadWithoutWriting(Launcher& launcher, std::string* output = nullptr) {
    testing::internal::CaptureStdout();
    const bool result = ReadSettingsFrom(launcher, IniPath(), ModulePath());
    const std::string printed = testing::internal::GetCapturedStdout();
    if (output != nullptr) *output = printed;
    return result;
  }

  // "Main Class" set, plus `more` lines in [Java Runtime Environment].
  static std::string WithMainClass(const std::string& more = "") {
    return "[Java Runtime Environment]\r\nMain Class=app.Main\r\n" + more;
  }

  TempDir dir_;
  ScopedEnvironment environment_;
  std::u16string iniPath_ = dir_ / u"app/tool.ini";
  int files_ = 0;
};

}  // namespace javelin::test
