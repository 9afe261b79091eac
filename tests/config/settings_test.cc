// What the settings reader makes of the configuration file.
#include "config/settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "base/scoped_environment.h"
#include "config/ini_file.h"
#include "support/test_support.h"

namespace javelin {
namespace {

// Reads settings for a launcher that pretends to live in a temporary folder,
// with the per-user settings folder redirected there too.
class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { environment_.RedirectUserSettings(dir_ / u"user"); }

  // Writes `ini` to a file of its own (the Windows profile functions may keep
  // a file they have read) and reads it; `output_` gets what was printed.
  std::optional<Settings> Read(const std::string& ini) {
    const std::u16string path = app_ + kPathSeparator + u"tool" + ToDecimal(++files_) + u".ini";
    test::WriteFile(path, ini);
    testing::internal::CaptureStdout();
    std::optional<Settings> settings = ReadSettings(DiskIniSource(), ProcessContext{ModulePath(), app_, path, {}});
    output_ = testing::internal::GetCapturedStdout();
    return settings;
  }
  // Reads `more` lines after "Main Class" and the `sections` after them.
  Settings ReadJre(const std::string& more, const std::string& sections = "") {
    const std::optional<Settings> settings =
        Read("[Java Runtime Environment]\r\nMain Class=app.Main\r\n" + more + sections);
    EXPECT_TRUE(settings) << more << sections;
    return settings.value_or(Settings());
  }
  std::u16string ModulePath() const { return app_ + kPathSeparator + u"tool.exe"; }

  test::TempDir dir_;
  const std::u16string app_ = dir_ / u"app", appSlash_ = app_ + kPathSeparator;
  test::ScopedEnvironment environment_;
  std::string output_;
  int files_ = 0;
};

std::string Flags(std::initializer_list<bool> flags) {
  std::string text;
  for (bool flag : flags) text += flag ? '1' : '0';
  return text;
}

std::string Version(const VersionNumber& version) {
  std::string text;
  for (int32_t component : version.components) text += (text.empty() ? "" : ".") + std::to_string(component);
  return text;
}

TEST_F(SettingsTest, WithoutMainClassMessage210IsPrintedAndThereAreNoSettings) {
  EXPECT_FALSE(Read("[Java Runtime Environment]\r\nJVM Type=server\r\nMain Class=\r\n"));
  EXPECT_EQ(output_, "Error: Main class in der INI-Datei nicht spezifiziert. \n");
  testing::internal::CaptureStdout();
  EXPECT_FALSE(ReadSettings(DiskIniSource(), ProcessContext{ModulePath(), app_, u"", {}}));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no configuration path: nothing to say
}

TEST_F(SettingsTest, YesFlagsAcceptAnyCaseButLowercaseFlagsOnlyYes) {
  const std::pair<const char*, const char*> cases[] = {
      {"yes", "1111111"}, {"yEs", "1111000"}, {"y", "0000000"}, {"yes please", "0000000"}, {"\"yes \"", "0000000"},
  };
  for (const auto& [value, expected] : cases) {
    std::string lines = "[Application]\r\n";
    for (const char* key : {"Failure Check", "Override WorkingDir", "Pair Return Code", "Embedded Jar",
                            "Single Instance", "Output Append", "Error Append"}) {
      lines += std::string(key) + "=" + value + "\r\n";
    }
    const Settings settings = ReadJre("", lines);
    EXPECT_EQ(Flags({settings.failureCheck, settings.overrideWorkingDir, settings.pairReturnCode,
                     settings.run.embeddedJar, settings.singleInstance, settings.run.outputAppend,
                     settings.run.errorAppend}),
              expected) << value;
  }
}

TEST_F(SettingsTest, ServiceModeNeedsExactlyServiceAndOnlyThenReadsOmitServiceName) {
  const std::pair<const char*, const char*> cases[] = {
      {"Application Type=service\r\nOmit Service Name=No\r\n", "11"},  // any value turns it on
      {"Application Type=service\r\n", "10"},
      {"Application Type=Service\r\nOmit Service Name=yes\r\n", "00"},  // application mode
  };
  for (const auto& [lines, expected] : cases) {
    const Settings settings = ReadJre("", std::string("[Application]\r\n") + lines);
    EXPECT_EQ(Flags({settings.serviceMode, settings.omitServiceName}), expected) << lines;
  }
}

TEST_F(SettingsTest, JvmTypeAndJvmSourceCompareExactlyAndVmProviderIgnoresCase) {
  const std::pair<const char*, int32_t> types[] = {{"server", kJvmTypeServer},
                                                   {"favor_server", kJvmTypeFavorServer},
                                                   {"Server", kJvmTypeAny}};
  for (const auto& [value, expected] : types) {
    EXPECT_EQ(ReadJre(std::string("JVM Type=") + value + "\r\n").runtime.jvmType, expected) << value;
  }
  // Both kinds allowed, JDK preferred, JRE preferred.
  const std::pair<const char*, const char*> sources[] = {
      {"", "111"},         {"favor_JRE", "101"}, {"favor_JDK", "110"},
      {"only_JDK", "010"}, {"only_JRE", "001"},  {"FAVOR_JRE", "000"},
  };
  for (const auto& [value, expected] : sources) {
    const Settings settings = ReadJre(std::string("JVM Source=") + value + "\r\n");
    EXPECT_EQ(Flags({settings.runtime.bothKindsAllowed, settings.runtime.jdkPreferred, settings.runtime.jrePreferred}), expected) << value;
  }
  // JRockit, Sun and IBM, each allowed then preferred.
  const std::pair<const char*, const char*> providers[] = {
      {"", "001100"},    {"favour_ibm", "001100"},    {"jrockit", "110000"},   {"IBM", "000011"},
      {"ANY", "101010"}, {"favor_jrockit", "111010"}, {"favor_ibm", "101011"}, {"Favor_Sun", "101110"},
  };
  for (const auto& [value, expected] : providers) {
    const Settings settings = ReadJre(std::string("VM Provider=") + value + "\r\n");
    EXPECT_EQ(Flags({settings.runtime.jrockitAllowed, settings.runtime.jrockitPreferred, settings.runtime.sunAllowed,
                     settings.runtime.sunPreferred, settings.runtime.ibmAllowed, settings.runtime.ibmPreferred}),
              expected) << value;
  }
}

TEST_F(SettingsTest, VersionBoundsUseAnyExactlyAndFillMissingParts) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "0.0.0.0 0.0.0.0"},  // absent
      {"Minimum Version=any\r\nMaximum Version=any\r\n", "0.0.0.0 65535.65535.65535.65535"},
      {"Minimum Version=Any\r\nMaximum Version=Any\r\n", "0.0.0.0 0.0.0.0"},
      {"Minimum Version=1.8\r\nMaximum Version=17.0.2\r\n", "1.8.0.0 17.0.2.65535"},
      {"Minimum Version=1.8.0_392\r\nMaximum Version=1.8.0_392\r\n", "1.8.0.392 1.8.0.392"},
  };
  for (const auto& [lines, expected] : cases) {
    const Settings settings = ReadJre(lines);
    EXPECT_EQ(Version(settings.runtime.minimumVersion) + " " + Version(settings.runtime.maximumVersion), expected) << lines;
  }
}

TEST_F(SettingsTest, JrePathsThatAreNotAbsoluteHangBelowTheLaunchersFolder) {
  const bool windows = kPathSeparator == u'\\';
  const std::u16string& app = appSlash_;
  const std::pair<const char*, std::u16string> cases[] = {
      {"", u""},
      {"j", app + u"j"},
      {"D:\\Java", windows ? u"D:\\Java" : app + u"D:\\Java"},
      {"\\\\server\\java", windows ? u"\\\\server\\java" : app + u"\\\\server\\java"},
      {"\\Java", app + u"\\Java"},  // one backslash is relative
      {"/usr/java", windows ? app + u"/usr/java" : u"/usr/java"},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(ReadJre(std::string("JRE Path=") + value + "\r\n").runtime.jrePath, expected) << value;
  }
}

TEST_F(SettingsTest, APerUserFileDecidesTheJrePathInApplicationMode) {
  const std::string product = "[Product Information]\r\nProduct Name=Tool: Pro\r\nProduct Code=TP1\r\n";
  const std::pair<const char*, std::u16string> cases[] = {
      {nullptr, appSlash_ + u"main"},
      {"[Java Runtime Environment]\r\nJRE Path=user\r\n", appSlash_ + u"user"},
      {"[Java Runtime Environment]\r\nOther=1\r\n", u""},           // the file wins even without the key
      {"[Java Runtime Environment+]\r\nJRE Path=plus\r\n", u""},    // no "+" rule there
  };
  for (const auto& [userIni, expected] : cases) {
    if (userIni != nullptr) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a new modification time
      test::WriteFile(dir_ / u"user/Tool Pro/TP1/tool.ini", userIni);
    }
    EXPECT_EQ(ReadJre("JRE Path=main\r\n", product).runtime.jrePath, expected) << (userIni ? userIni : "no user file");
  }
  // In service mode only the main file counts.
  EXPECT_EQ(ReadJre("JRE Path=main\r\n", product + "[Application]\r\nApplication Type=service\r\n").runtime.jrePath,
            appSlash_ + u"main");
}

// The run options and the main class come through the "+" rule, the product
// keys do not; lists are split at ';'.
TEST_F(SettingsTest, ThePlusRuleCoversTheRunOptionsButNotTheProductKeys) {
  const std::optional<Settings> settings =
      Read("[Java Runtime Environment+]\r\nMain Class=app.Main\r\nVirtual Machine Parameters=-Dx=1\r\n"
           "[Java Runtime Environment]\r\nPreferred versions=1.8.0_392;11;\r\n"
           "[Application]\r\nCmd=-v \"\"\r\n[Application+]\r\nCmd=ignored\r\nError File=err.log\r\n"
           "[Product Information]\r\nProduct Name=Tool Pro\r\n"
           "[Product Information+]\r\nProduct Name=x\r\nProduct Code=x\r\n");
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->mainClass, u"app/Main");  // no dot in a class name
  EXPECT_EQ(settings->runtime.preferredVersions, (TextList{u"1.8.0_392", u"11"}));
  EXPECT_EQ(settings->run.cmd, u"-v \"\"");
  EXPECT_EQ(settings->run.vmParameters, u" -Dx=1");
  EXPECT_EQ(settings->run.errorFile, u" err.log");
  EXPECT_EQ(settings->run.classPath, u"");
  EXPECT_EQ(settings->productName, u"Tool Pro");
  EXPECT_EQ(settings->productCode, u"");
}

}  // namespace
}  // namespace javelin
