// What the settings reader makes of the configuration file.
#include "config/settings.h"

#include <gtest/gtest.h>

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
  std::optional<Settings> Read(const std::string& ini) {
    const std::u16string path = app_ + kPathSeparator + u"tool" + ToDecimal(++files_) + u".ini";
    test::WriteFile(path, ini);
    return ReadSettings(DiskIniSource(), ProcessContext{ModulePath(), app_, path, {}});
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
  int files_ = 0;
};

const bool kWindows = kPathSeparator == u'\\';

std::string Flags(std::initializer_list<bool> flags) {
  std::string text;
  for (bool flag : flags) text += flag ? '1' : '0';
  return text;
}

// The seven yes/no keys of [Application] set to `value`.
std::string YesNo(const std::string& value) {
  std::string lines = "[Application]";
  for (const char* key : {"Failure Check", "Override WorkingDir", "Pair Return Code", "Embedded Jar",
                          "Single Instance", "Output Append", "Error Append"}) {
    lines += std::string("\r\n") + key + "=" + value;
  }
  return lines;
}

std::string Version(const VersionNumber& version) {
  std::string text;
  for (int32_t component : version.components) text += (text.empty() ? "" : ".") + std::to_string(component);
  return text;
}

// The runtime choice, the mode and the yes/no keys as " name=value " fields.
// Flags: service mode and name omitted; both kinds allowed, JDK and JRE
// preferred; JRockit, Sun and IBM, each allowed then preferred; the keys of
// YesNo(). Values hold no blanks here.
std::string Describe(const Settings& s) {
  const RuntimeRequirements& r = s.runtime;
  const int32_t type = r.jvmType;
  const std::string typeName = type == kJvmTypeServer        ? "server"
                               : type == kJvmTypeFavorServer ? "favor"
                               : type == kJvmTypeAny         ? "any"
                                                             : std::to_string(type);
  return " type=" + typeName + " yes=" +
         Flags({s.failureCheck, s.overrideWorkingDir, s.pairReturnCode, s.run.embeddedJar, s.singleInstance,
                s.run.outputAppend, s.run.errorAppend}) +
         " service=" + Flags({s.serviceMode, s.omitServiceName}) +
         " source=" + Flags({r.bothKindsAllowed, r.jdkPreferred, r.jrePreferred}) +
         " provider=" + Flags({r.jrockitAllowed, r.jrockitPreferred, r.sunAllowed, r.sunPreferred, r.ibmAllowed,
                               r.ibmPreferred}) +
         " versions=" + Version(r.minimumVersion) + "-" + Version(r.maximumVersion) + " jre=" + ToUtf8(r.jrePath) + " ";
}

// Keys compare exactly, but for "VM Provider" and the first four yes/no
// keys; "Omit Service Name" counts only in service mode, with any value.
TEST_F(SettingsTest, RuntimeChoiceModeYesNoKeysAndJrePath) {
  const std::pair<std::string, const char*> cases[] = {
      {YesNo("yes"), "yes=1111111"},        {YesNo("yEs"), "yes=1111000"},     {YesNo("y"), "yes=0000000"},
      {YesNo("yes please"), "yes=0000000"}, {YesNo("\"yes \""), "yes=0000000"},
      {"JVM Type=server", "type=server"},        {"JVM Type=favor_server", "type=favor"},
      {"JVM Type=Server", "type=any"},           {"", "source=111"},
      {"JVM Source=favor_JRE", "source=101"},    {"JVM Source=only_JDK", "source=010"},
      {"JVM Source=FAVOR_JRE", "source=000"},    {"", "provider=001100"},
      {"VM Provider=favour_ibm", "provider=001100"}, {"VM Provider=jrockit", "provider=110000"},
      {"VM Provider=IBM", "provider=000011"},        {"VM Provider=ANY", "provider=101010"},
      {"VM Provider=favor_jrockit", "provider=111010"}, {"VM Provider=Favor_Sun", "provider=101110"},
      {"[Application]\r\nApplication Type=service\r\nOmit Service Name=No", "service=11"},
      {"[Application]\r\nApplication Type=service", "service=10"},
      {"[Application]\r\nApplication Type=Service\r\nOmit Service Name=yes", "service=00"},
      // "any" exactly; missing parts filled.
      {"", "versions=0.0.0.0-0.0.0.0"},
      {"Minimum Version=any\r\nMaximum Version=any", "versions=0.0.0.0-65535.65535.65535.65535"},
      {"Minimum Version=Any\r\nMaximum Version=Any", "versions=0.0.0.0-0.0.0.0"},
      {"Minimum Version=1.8\r\nMaximum Version=17.0.2", "versions=1.8.0.0-17.0.2.65535"},
      // A "JRE Path" that is not absolute hangs below the launcher's folder.
      {"", "jre="},
      {"JRE Path=j", "jre=<app>j"},
      {"JRE Path=D:\\Java", kWindows ? "jre=D:\\Java" : "jre=<app>D:\\Java"},
      {"JRE Path=\\\\server\\java", kWindows ? "jre=\\\\server\\java" : "jre=<app>\\\\server\\java"},
      {"JRE Path=\\Java", "jre=<app>\\Java"},  // one backslash is relative
      {"JRE Path=/usr/java", kWindows ? "jre=<app>/usr/java" : "jre=/usr/java"},
  };
  for (const auto& [lines, expected] : cases) {
    std::string described = Describe(ReadJre(lines + "\r\n"));
    const std::string app = ToUtf8(appSlash_);
    if (const size_t at = described.find(app); at != std::string::npos) described.replace(at, app.size(), "<app>");
    EXPECT_NE(described.find(std::string(" ") + expected + " "), std::string::npos) << lines << ":" << described;
  }
}

// A folder remembered in the per-user file is found on the next start (shown
// end to end); the file wins even without the key, but not in service mode.
TEST_F(SettingsTest, APerUserFileDecidesTheJrePathInApplicationMode) {
  const std::string product = "[Product Information]\r\nProduct Name=Tool: Pro\r\nProduct Code=TP1\r\n";
  test::WriteFile(dir_ / u"user/Tool Pro/TP1/tool.ini", "[Java Runtime Environment]\r\nOther=1\r\n");
  EXPECT_EQ(ReadJre("JRE Path=main\r\n", product).runtime.jrePath, u"");
  EXPECT_EQ(ReadJre("JRE Path=main\r\n", product + "[Application]\r\nApplication Type=service\r\n").runtime.jrePath,
            appSlash_ + u"main");
}

// The run options and the main class come through the "+" rule (an empty
// plain value falls through; one blank is put before the value unless it has
// one), the product keys do not; lists are split at ';'.
TEST_F(SettingsTest, ThePlusRuleCoversTheRunOptionsButNotTheProductKeys) {
  const std::optional<Settings> settings =
      Read("[Java Runtime Environment+]\r\nMain Class=app.Main\r\nVirtual Machine Parameters=-Dx=1\r\n"
           "[Java Runtime Environment]\r\nPreferred versions=1.8.0_392;11;\r\n"
           "[Application]\r\nCmd=-v \"\"\r\nError File=\r\n[Application+]\r\nCmd=ignored\r\nError File=\" err.log\"\r\n"
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
