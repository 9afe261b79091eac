// What the settings reader makes of the configuration file.
#include "config/settings.h"

#include <gtest/gtest.h>

#include "base/message_table.h"
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
  // a file they have read) and reads it.
  Result<Settings> Read(const std::string& ini) {
    const std::u16string path = app_ + kPathSeparator + u"tool" + ToDecimal(++files_) + u".ini";
    test::WriteFile(path, ini);
    return ReadSettings(DiskIniSource(), ProcessContext{ModulePath(), app_, path, {}});
  }
  // Reads `more` lines after "Main Class" and the `sections` after them.
  Settings ReadJre(const std::string& more, const std::string& sections = "") {
    const Result<Settings> settings =
        Read("[Java Runtime Environment]\r\nMain Class=app.Main\r\n" + more + sections);
    EXPECT_TRUE(settings) << more << sections;
    return settings ? *settings : Settings();
  }
  std::u16string ModulePath() const { return app_ + kPathSeparator + u"tool.exe"; }

  test::TempDir dir_;
  const std::u16string app_ = dir_ / u"app", appSlash_ = app_ + kPathSeparator;
  test::ScopedEnvironment environment_;
  int files_ = 0;
};

// The seven yes/no keys of [Application] set to `value`.
std::string YesNo(const std::string& value) {
  std::string lines = "[Application]";
  for (const char* key : {"Failure Check", "Override WorkingDir", "Pair Return Code",
                          "Embedded Jar", "Single Instance", "Output Append", "Error Append"}) {
    lines += std::string("\r\n") + key + "=" + value;
  }
  return lines;
}

// All four components, dot-separated.
std::string Components(const VersionNumber& version) {
  std::string text;
  for (int32_t component : version.components)
    text += (text.empty() ? "" : ".") + std::to_string(component);
  return text;
}

// The first four yes/no keys take "yes" in any letter case, the other three
// only exactly; anything more or less is no.
TEST_F(SettingsTest, YesNoKeysTakeYesInTheirOwnLetterCase) {
  const struct {
    const char* value;
    bool anyCase, exactly;
  } cases[] = {
      {"yes", true, true},          {"yEs", true, false},       {"y", false, false},
      {"yes please", false, false}, {"\"yes \"", false, false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.value);
    const Settings s = ReadJre("", YesNo(row.value));
    EXPECT_EQ(s.failureCheck, row.anyCase);
    EXPECT_EQ(s.overrideWorkingDir, row.anyCase);
    EXPECT_EQ(s.pairReturnCode, row.anyCase);
    EXPECT_EQ(s.run.embeddedJar, row.anyCase);
    EXPECT_EQ(s.singleInstance, row.exactly);
    EXPECT_EQ(s.run.outputAppend, row.exactly);
    EXPECT_EQ(s.run.errorAppend, row.exactly);
  }
}

// "JVM Type" and "JVM Source" compare exactly, "VM Provider" without regard
// to case; an unknown provider keeps the standard vendor only.
TEST_F(SettingsTest, JvmTypeSourceAndProviderChooseTheRuntime) {
  const struct {
    const char* line;
    int32_t type;
  } types[] = {{"", kJvmTypeAny},
               {"JVM Type=server", kJvmTypeServer},
               {"JVM Type=favor_server", kJvmTypeFavorServer},
               {"JVM Type=Server", kJvmTypeAny}};
  for (const auto& row : types) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(ReadJre(std::string(row.line) + "\r\n").runtime.jvmType, row.type);
  }

  const struct {
    const char* line;
    bool both, jdk, jre;
  } sources[] = {{"", true, true, true},
                 {"JVM Source=favor_JRE", true, false, true},
                 {"JVM Source=only_JDK", false, true, false},
                 {"JVM Source=FAVOR_JRE", false, false, false}};
  for (const auto& row : sources) {
    SCOPED_TRACE(row.line);
    const RuntimeRequirements r = ReadJre(std::string(row.line) + "\r\n").runtime;
    EXPECT_EQ(r.bothKindsAllowed, row.both);
    EXPECT_EQ(r.jdkPreferred, row.jdk);
    EXPECT_EQ(r.jrePreferred, row.jre);
  }

  const struct {
    const char* line;
    bool jrockitAllowed, jrockitPreferred, sunAllowed, sunPreferred, ibmAllowed, ibmPreferred;
  } providers[] = {
      {"", false, false, true, true, false, false},
      {"VM Provider=favour_ibm", false, false, true, true, false, false},
      {"VM Provider=jrockit", true, true, false, false, false, false},
      {"VM Provider=IBM", false, false, false, false, true, true},
      {"VM Provider=ANY", true, false, true, false, true, false},
      {"VM Provider=favor_jrockit", true, true, true, false, true, false},
      {"VM Provider=Favor_Sun", true, false, true, true, true, false},
  };
  for (const auto& row : providers) {
    SCOPED_TRACE(row.line);
    const RuntimeRequirements r = ReadJre(std::string(row.line) + "\r\n").runtime;
    EXPECT_EQ(r.jrockitAllowed, row.jrockitAllowed);
    EXPECT_EQ(r.jrockitPreferred, row.jrockitPreferred);
    EXPECT_EQ(r.sunAllowed, row.sunAllowed);
    EXPECT_EQ(r.sunPreferred, row.sunPreferred);
    EXPECT_EQ(r.ibmAllowed, row.ibmAllowed);
    EXPECT_EQ(r.ibmPreferred, row.ibmPreferred);
  }
}

// "service" exactly makes a service; "Omit Service Name" counts only then,
// with any value. Versions: "any" exactly; missing parts filled.
TEST_F(SettingsTest, ServiceModeAndVersionBounds) {
  const struct {
    const char* lines;
    bool service, omitName;
  } services[] = {{"Application Type=service\r\nOmit Service Name=No", true, true},
                  {"Application Type=service", true, false},
                  {"Application Type=Service\r\nOmit Service Name=yes", false, false}};
  for (const auto& row : services) {
    SCOPED_TRACE(row.lines);
    const Settings s = ReadJre("", std::string("[Application]\r\n") + row.lines + "\r\n");
    EXPECT_EQ(s.serviceMode, row.service);
    EXPECT_EQ(s.omitServiceName, row.omitName);
  }

  const struct {
    const char* lines;
    const char *minimum, *maximum;
  } versions[] = {
      {"", "0.0.0.0", "0.0.0.0"},
      {"Minimum Version=any\r\nMaximum Version=any", "0.0.0.0", "65535.65535.65535.65535"},
      {"Minimum Version=Any\r\nMaximum Version=Any", "0.0.0.0", "0.0.0.0"},
      {"Minimum Version=1.8\r\nMaximum Version=17.0.2", "1.8.0.0", "17.0.2.65535"},
  };
  for (const auto& row : versions) {
    SCOPED_TRACE(row.lines);
    const RuntimeRequirements r = ReadJre(std::string(row.lines) + "\r\n").runtime;
    EXPECT_EQ(Components(r.minimumVersion), row.minimum);
    EXPECT_EQ(Components(r.maximumVersion), row.maximum);
  }
}

// A "JRE Path" that is not absolute hangs below the launcher's folder; which
// paths are absolute on each platform is settled in file_system_test.cc.
TEST_F(SettingsTest, ARelativeJrePathHangsBelowTheLaunchersFolder) {
  const std::u16string absolute = dir_ / u"java";
  const struct {
    std::string line;
    std::u16string jrePath;
  } cases[] = {
      {"", u""},
      {"JRE Path=j", appSlash_ + u"j"},
      {"JRE Path=\\Java", appSlash_ + u"\\Java"},  // one backslash is relative on both
      {"JRE Path=" + ToUtf8(absolute), absolute},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(ReadJre(row.line + "\r\n").runtime.jrePath, row.jrePath);
  }
}

// An empty main class fails with message 210, which the reader returns and
// leaves to the launcher to print.
TEST_F(SettingsTest, AMissingMainClassIsAFailureValueAndPrintsNothing) {
  testing::internal::CaptureStdout();
  const Result<Settings> settings = Read("[Java Runtime Environment]\r\nMain Class=\r\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_FALSE(settings);
  EXPECT_EQ(settings.failure().messageId, kMsgNoMainClass);
  EXPECT_EQ(settings.failure().text, u"Main class in der INI-Datei nicht spezifiziert.");
}

// A folder remembered in the per-user file is found on the next start (shown
// end to end); the file wins even without the key, but not in service mode.
TEST_F(SettingsTest, APerUserFileDecidesTheJrePathInApplicationMode) {
  const std::string product =
      "[Product Information]\r\nProduct Name=Tool: Pro\r\nProduct Code=TP1\r\n";
  test::WriteFile(dir_ / u"user/Tool Pro/TP1/tool.ini",
                  "[Java Runtime Environment]\r\nOther=1\r\n");
  EXPECT_EQ(ReadJre("JRE Path=main\r\n", product).runtime.jrePath, u"");
  EXPECT_EQ(ReadJre("JRE Path=main\r\n", product + "[Application]\r\nApplication Type=service\r\n")
                .runtime.jrePath,
            appSlash_ + u"main");
}

// The run options and the main class come through the "+" rule (an empty
// plain value falls through; one blank is put before the value unless it has
// one), the product keys do not; lists are split at ';'.
TEST_F(SettingsTest, ThePlusRuleCoversTheRunOptionsButNotTheProductKeys) {
  const Result<Settings> settings = Read(
      "[Java Runtime Environment+]\r\nMain Class=app.Main\r\nVirtual Machine Parameters=-Dx=1\r\n"
      "[Java Runtime Environment]\r\nPreferred versions=1.8.0_392;11;\r\n"
      "[Application]\r\nCmd=-v \"\"\r\nError File=\r\n[Application+]\r\nCmd=ignored\r\nError "
      "File=\" err.log\"\r\n"
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
