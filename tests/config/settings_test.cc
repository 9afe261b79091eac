// What the settings reader makes of the configuration file.
#include "config/settings.h"

#include <gtest/gtest.h>

#include <chrono>
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

// The runtime choice and the mode as " name=value " fields. Flags: service
// mode and name omitted; both kinds allowed, JDK and JRE preferred; JRockit,
// Sun and IBM, each allowed then preferred.
std::string Describe(const Settings& s) {
  const RuntimeRequirements& r = s.runtime;
  const int32_t type = r.jvmType;
  const std::string typeName = type == kJvmTypeServer        ? "server"
                               : type == kJvmTypeFavorServer ? "favor"
                               : type == kJvmTypeAny         ? "any"
                                                             : std::to_string(type);
  return " type=" + typeName +
         " service=" + Flags({s.serviceMode, s.omitServiceName}) +
         " source=" + Flags({r.bothKindsAllowed, r.jdkPreferred, r.jrePreferred}) +
         " provider=" + Flags({r.jrockitAllowed, r.jrockitPreferred, r.sunAllowed, r.sunPreferred, r.ibmAllowed,
                               r.ibmPreferred}) +
         " versions=" + Version(r.minimumVersion) + "-" + Version(r.maximumVersion) + " ";
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

// Keys compare exactly, but for "VM Provider"; "Omit Service Name" counts
// only in service mode, with any value.
TEST_F(SettingsTest, RuntimeChoiceAndServiceKeys) {
  const std::pair<const char*, const char*> cases[] = {
      {"JVM Type=server", "type=server"},        {"JVM Type=favor_server", "type=favor"},
      {"JVM Type=Server", "type=any"},           {"", "source=111"},
      {"JVM Source=favor_JRE", "source=101"},    {"JVM Source=favor_JDK", "source=110"},
      {"JVM Source=only_JDK", "source=010"},     {"JVM Source=only_JRE", "source=001"},
      {"JVM Source=FAVOR_JRE", "source=000"},    {"", "provider=001100"},
      {"VM Provider=favour_ibm", "provider=001100"}, {"VM Provider=jrockit", "provider=110000"},
      {"VM Provider=IBM", "provider=000011"},        {"VM Provider=ANY", "provider=101010"},
      {"VM Provider=favor_jrockit", "provider=111010"}, {"VM Provider=favor_ibm", "provider=101011"},
      {"VM Provider=Favor_Sun", "provider=101110"},
      {"[Application]\r\nApplication Type=service\r\nOmit Service Name=No", "service=11"},
      {"[Application]\r\nApplication Type=service", "service=10"},
      {"[Application]\r\nApplication Type=Service\r\nOmit Service Name=yes", "service=00"},
      // "any" exactly; missing parts filled.
      {"", "versions=0.0.0.0-0.0.0.0"},
      {"Minimum Version=any\r\nMaximum Version=any", "versions=0.0.0.0-65535.65535.65535.65535"},
      {"Minimum Version=Any\r\nMaximum Version=Any", "versions=0.0.0.0-0.0.0.0"},
      {"Minimum Version=1.8\r\nMaximum Version=17.0.2", "versions=1.8.0.0-17.0.2.65535"},
      {"Minimum Version=1.8.0_392\r\nMaximum Version=1.8.0_392", "versions=1.8.0.392-1.8.0.392"},
  };
  for (const auto& [lines, expected] : cases) {
    const std::string described = Describe(ReadJre(lines + std::string("\r\n")));
    EXPECT_NE(described.find(std::string(" ") + expected + " "), std::string::npos) << lines << ":" << described;
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
