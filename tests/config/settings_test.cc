// What the settings reader makes of the configuration file.
#include "config/settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/ini_file.h"
#include "config/ini_paths.h"
#include "config/settings_fixture.h"
#include "launcher/launcher.h"

namespace javelin {
namespace {

using test::SettingsTest;

std::vector<int32_t> Components(const VersionNumber& version) {
  return {version.components[0], version.components[1], version.components[2],
          version.components[3]};
}

const std::string kNoMainClassLine = "Error: Main class in der INI-Datei nicht spezifiziert. \n";

TEST_F(SettingsTest, WithoutMainClassMessage210IsPrintedAndReadingStops) {
  std::string output;
  {
    Launcher launcher;
    EXPECT_FALSE(Read(launcher,
                      "[Java Runtime Environment]\r\nJVM Type=server\r\n"
                      "[Application]\r\nFailure Check=Yes\r\n",
                      &output));
    EXPECT_EQ(output, kNoMainClassLine);
    // Keys before "Main Class" were read, keys after it were not.
    EXPECT_EQ(launcher.jvmType, Launcher::kJvmTypeServer);
    EXPECT_FALSE(launcher.failureCheck);
  }
  {
    // No configuration file at all reads as all keys empty.
    Launcher launcher;
    FreshIniPath();
    EXPECT_FALSE(ReadWithoutWriting(launcher, &output));
    EXPECT_EQ(output, kNoMainClassLine);
  }
  {
    Launcher launcher;
    EXPECT_FALSE(Read(launcher, "[Java Runtime Environment]\r\nMain Class=\r\n", &output));
    EXPECT_EQ(output, kNoMainClassLine);
  }
}

TEST_F(SettingsTest, MainClassIsStoredWithSlashes) {
  Launcher launcher;
  std::string output;
  ASSERT_TRUE(Read(launcher, WithMainClass(), &output));
  EXPECT_EQ(output, "");
  EXPECT_EQ(launcher.mainClass, u"app/Main");

  Launcher slashed;
  ASSERT_TRUE(Read(slashed, "[Java Runtime Environment]\r\nMain Class=com/example/deep.Main\r\n"));
  EXPECT_EQ(slashed.mainClass, u"com/example/deep/Main");

  // Given only in the "+" section it keeps the blank the "+" rule adds.
  Launcher plus;
  ASSERT_TRUE(Read(plus, "[Java Runtime Environment+]\r\nMain Class=com.example.Main\r\n"));
  EXPECT_EQ(plus.mainClass, u" com/example/Main");
}

TEST_F(SettingsTest, ProductKeysIgnoreThePlusSection) {
  Launcher launcher;
  ASSERT_TRUE(Read(launcher, WithMainClass() +
                                 "[Product Information]\r\nProduct Name=Tool Pro\r\n"
                                 "[Product Information+]\r\nProduct Name=ignored\r\n"
                                 "Product Code=ignored too\r\n"));
  EXPECT_EQ(launcher.productName, u"Tool Pro");
  EXPECT_EQ(launcher.productCode, u"");
}

TEST_F(SettingsTest, TextKeysAreTakenAsTheyAre) {
  Launcher launcher;
  ASSERT_TRUE(Read(launcher, WithMainClass("System Path=%JAVA_HOME%\\bin;C:\\x\r\n"
                                           "Library Path=lib;native\r\n"
                                           "Preferred versions=1.8.0_392;11;17;\r\n") +
                                 "[Application]\r\nPair Product=tool64.exe\r\n"));
  EXPECT_EQ(launcher.systemPath, u"%JAVA_HOME%\\bin;C:\\x");
  EXPECT_EQ(launcher.libraryPath, u"lib;native");
  EXPECT_EQ(launcher.pairProduct, u"tool64.exe");
  EXPECT_EQ(launcher.preferredVersions, (TextList{u"1.8.0_392", u"11", u"17"}));
}

TEST_F(SettingsTest, YesFlagsAcceptAnyCaseButLowercaseFlagsOnlyYes) {
  struct Case {
    const char* value;
    bool yesFamily;        // "Failure Check", "Override WorkingDir", "Pair Return Code"
    bool lowercaseFamily;  // "Single Instance", "Output Append", "Error Append"
  };
  const Case cases[] = {
      {"yes", true, true},   {"Yes", true, false},  {"YES", true, false},
      {"yEs", true, false},  {"y", false, false},   {"yes please", false, false},
      {"true", false, false}, {"1", false, false},  {"\"yes \"", false, false},
      {"", false, false},
  };
  for (const Case& item : cases) {
    const std::string value = item.value;
    Launcher launcher;
    ASSERT_TRUE(Read(launcher, WithMainClass() + "[Application]\r\n" +
                                   "Failure Check=" + value + "\r\n" +
                                   "Override WorkingDir=" + value + "\r\n" +
                                   "Pair Return Code=" + value + "\r\n" +
                                   "Single Instance=" + value + "\r\n" +
                                   "Output Append=" + value + "\r\n" +
                                   "Error Append=" + value + "\r\n" +
                                   "Embedded Jar=" + value + "\r\n"));
    EXPECT_EQ(launcher.failureCheck, item.yesFamily) << value;
    EXPECT_EQ(launcher.overrideWorkingDir, item.yesFamily) << value;
    EXPECT_EQ(launcher.pairReturnCode, item.yesFamily) << value;
    IniConfig config(IniPath());
    EXPECT_EQ(ReadEmbeddedJar(config), item.yesFamily) << value;
    EXPECT_EQ(ReadSingleInstance(config), item.lowercaseFamily) << value;
    EXPECT_EQ(ReadOutputAppend(config), item.lowercaseFamily) << value;
    EXPECT_EQ(ReadErrorAppend(config), item.lowercaseFamily) << value;
  }
}

TEST_F(SettingsTest, ServiceModeNeedsExactlyServiceAndOnlyThenReadsOmitServiceName) {
  Launcher service;
  ASSERT_TRUE(Read(service, WithMainClass() +
                                "[Application]\r\nApplication Type=service\r\nOmit Service Name=No\r\n"));
  EXPECT_TRUE(service.serviceMode);
  // Any non-empty value turns it on, "No" included.
  EXPECT_TRUE(service.omitServiceName);

  Launcher capitalised;
  ASSERT_TRUE(Read(capitalised, WithMainClass() +
                                    "[Application]\r\nApplication Type=Service\r\nOmit Service Name=yes\r\n"));
  EXPECT_FALSE(capitalised.serviceMode);
  EXPECT_FALSE(capitalised.omitServiceName);

  Launcher emptyOmit;
  ASSERT_TRUE(Read(emptyOmit, WithMainClass() + "[Application]\r\nApplication Type=service\r\n"));
  EXPECT_FALSE(emptyOmit.omitServiceName);
}

TEST_F(SettingsTest, JvmTypeKnowsServerAndFavorServerExactly) {
  const std::pair<const char*, int32_t> cases[] = {
      {"server", Launcher::kJvmTypeServer}, {"favor_server", Launcher::kJvmTypeFavorServer},
      {"Server", Launcher::kJvmTypeAny},     {"client", Launcher::kJvmTypeAny},
      {"", Launcher::kJvmTypeAny},
  };
  for (const auto& [value, expected] : cases) {
    Launcher launcher;
    ASSERT_TRUE(Read(launcher, WithMainClass(std::string("JVM Type=") + value + "\r\n")));
    EXPECT_EQ(launcher.jvmType, expected) << value;
  }
}

TEST_F(SettingsTest, JvmSourceTableComparesExactly) {
  struct Case {
    const char* line;
    bool both, jdk, jre;
  };
  const Case cases[] = {
      {"", true, true, true},
      {"JVM Source=\r\n", true, true, true},
      {"JVM Source=favor_JRE\r\n", true, false, true},
      {"JVM Source=favor_JDK\r\n", true, true, false},
      {"JVM Source=only_JDK\r\n", false, true, false},
      {"JVM Source=only_JRE\r\n", false, false, true},
      // Misspelled or differently cased: every kind flag off.
      {"JVM Source=favour_JRE\r\n", false, false, false},
      {"JVM Source=FAVOR_JRE\r\n", false, false, false},
      {"JVM Source=only_jdk\r\n", false, false, false},
      {"JVM Source=\"only_JDK \"\r\n", false, false, false},
  };
  for (const Case& item : cases) {
    Launcher launcher;
    ASSERT_TRUE(Read(launcher, WithMainClass(item.line)));
    EXPECT_EQ(launcher.bothKindsAllowed, item.both) << item.line;
    EXPECT_EQ(launcher.jdkPreferred, item.jdk) << item.line;
    EXPECT_EQ(launcher.jrePreferred, item.jre) << item.line;
  }
}

TEST_F(SettingsTest, VmProviderTableIgnoresCase) {
  struct Case {
    const char* value;
    bool jrockitAllowed, jrockitPreferred, sunAllowed, sunPreferred, ibmAllowed, ibmPreferred;
  };
  const Case cases[] = {
      {"", false, false, true, true, false, false},
      {"sun", false, false, true, true, false, false},
      {"oracle", false, false, true, true, false, false},
      {"favour_ibm", false, false, true, true, false, false},
      {"jrockit", true, true, false, false, false, false},
      {"ibm", false, false, false, false, true, true},
      {"IBM", false, false, false, false, true, true},
      {"favor_sun", true, false, true, true, true, false},
      {"Favor_Sun", true, false, true, true, true, false},
      {"favor_jrockit", true, true, true, false, true, false},
      {"favor_ibm", true, false, true, false, true, true},
      {"ANY", true, false, true, false, true, false},
  };
  for (const Case& item : cases) {
    Launcher launcher;
    ASSERT_TRUE(Read(launcher, WithMainClass(std::string("VM Provider=") + item.value + "\r\n")));
    EXPECT_EQ(launcher.jrockitAllowed, item.jrockitAllowed) << item.value;
    EXPECT_EQ(launcher.jrockitPreferred, item.jrockitPreferred) << item.value;
    EXPECT_EQ(launcher.sunAllowed, item.sunAllowed) << item.value;
    EXPECT_EQ(launcher.sunPreferred, item.sunPreferred) << item.value;
    EXPECT_EQ(launcher.ibmAllowed, item.ibmAllowed) << item.value;
    EXPECT_EQ(launcher.ibmPreferred, item.ibmPreferred) << item.value;
  }
}

TEST_F(SettingsTest, VersionBoundsUseAnyExactlyAndFillMissingParts) {
  struct Case {
    const char* minimum;  // nullptr: key absent
    const char* maximum;
    std::vector<int32_t> expectedMinimum, expectedMaximum;
  };
  const std::vector<int32_t> zero{0, 0, 0, 0};
  const std::vector<int32_t> open{65535, 65535, 65535, 65535};
  const Case cases[] = {
      {nullptr, nullptr, zero, zero},
      {"any", "any", zero, open},
      // "any" compares exactly: "Any" is parsed and has no digits.
      {"Any", "Any", zero, zero},
      {"1.8", "1.8", {1, 8, 0, 0}, {1, 8, 65535, 65535}},
      {"11", "17.0.2", {11, 0, 0, 0}, {17, 0, 2, 65535}},
      {"1.8.0_392", "1.8.0_392", {1, 8, 0, 392}, {1, 8, 0, 392}},
  };
  for (const Case& item : cases) {
    std::string lines;
    if (item.minimum != nullptr) lines += std::string("Minimum Version=") + item.minimum + "\r\n";
    if (item.maximum != nullptr) lines += std::string("Maximum Version=") + item.maximum + "\r\n";
    Launcher launcher;
    ASSERT_TRUE(Read(launcher, WithMainClass(lines)));
    EXPECT_EQ(Components(launcher.minimumVersion), item.expectedMinimum) << lines;
    EXPECT_EQ(Components(launcher.maximumVersion), item.expectedMaximum) << lines;
  }
}

TEST_F(SettingsTest, RelativeJrePathsHangBelowTheLaunchersFolder) {
  Launcher empty;
  ASSERT_TRUE(Read(empty, WithMainClass("JRE Path=\r\n")));
  EXPECT_EQ(empty.jrePath, u"");

  Launcher relative;
  ASSERT_TRUE(Read(relative, WithMainClass("JRE Path=jre\r\n")));
  EXPECT_EQ(relative.jrePath, AppFolder() + kPathSeparator + u"jre");

  Launcher single;
  ASSERT_TRUE(Read(single, WithMainClass("JRE Path=j\r\n")));
  EXPECT_EQ(single.jrePath, AppFolder() + kPathSeparator + u"j");
}

TEST_F(SettingsTest, APerUserFileDecidesTheJrePathInApplicationMode) {
  const std::string mainFile = WithMainClass("JRE Path=from-main-file\r\n") +
                               "[Product Information]\r\nProduct Name=Tool: Pro\r\nProduct Code=TP1\r\n";
  Launcher probe;
  probe.productName = u"Tool: Pro";
  probe.productCode = u"TP1";
  const std::u16string userFile = GetUserIniPath(probe, ModulePath(), false);
  EXPECT_EQ(userFile.substr(0, UserSettingsRoot().size()), UserSettingsRoot());

  // No per-user file: the main file's value.
  Launcher withoutUserFile;
  ASSERT_TRUE(Read(withoutUserFile, mainFile));
  EXPECT_EQ(withoutUserFile.jrePath, AppFolder() + kPathSeparator + u"from-main-file");

  // The per-user file's value, made absolute the same way.
  RewriteFile(userFile, "[Java Runtime Environment]\r\nJRE Path=from-user-file\r\n");
  Launcher withUserFile;
  ASSERT_TRUE(Read(withUserFile, mainFile));
  EXPECT_EQ(withUserFile.jrePath, AppFolder() + kPathSeparator + u"from-user-file");

  // A per-user file without the key still wins: empty.
  RewriteFile(userFile, "[Java Runtime Environment]\r\nOther=1\r\n");
  Launcher userFileWithoutKey;
  ASSERT_TRUE(Read(userFileWithoutKey, mainFile));
  EXPECT_EQ(userFileWithoutKey.jrePath, u"");

  // The per-user file is read without the "+" rule.
  RewriteFile(userFile, "[Java Runtime Environment+]\r\nJRE Path=plus\r\n");
  Launcher userFilePlus;
  ASSERT_TRUE(Read(userFilePlus, mainFile));
  EXPECT_EQ(userFilePlus.jrePath, u"");

  // In service mode only the main file counts.
  RewriteFile(userFile, "[Java Runtime Environment]\r\nJRE Path=from-user-file\r\n");
  Launcher service;
  ASSERT_TRUE(Read(service, mainFile + "[Application]\r\nApplication Type=service\r\n"));
  EXPECT_EQ(service.jrePath, AppFolder() + kPathSeparator + u"from-main-file");
}

TEST_F(SettingsTest, LaterStagesReadTheirKeysThroughThePlusRule) {
  test::WriteFile(FreshIniPath(),
                  "[Application]\r\nApplication Type=service\r\nSingle Instance=yes\r\n"
                  "Output File=%TEMP%\\out.log\r\nError File=err.log\r\nCmd=-v \"\"\r\n"
                  "[Class Path]\r\nClass Path=lib\\a.jar;lib\\b.jar\r\n"
                  "[Java Runtime Environment]\r\nVirtual Machine Parameters=-Xmx256m\r\n"
                  "[Java Runtime Environment+]\r\nVirtual Machine Parameters=-Dignored=1\r\n"
                  "[Class Path+]\r\nClass Path=ignored.jar\r\n"
                  "[Application+]\r\nCmd=ignored\r\nError File=ignored\r\n");
  IniConfig config(IniPath());
  EXPECT_TRUE(ReadServiceMode(config));
  EXPECT_TRUE(ReadSingleInstance(config));
  EXPECT_EQ(ReadClassPath(config), u"lib\\a.jar;lib\\b.jar");
  EXPECT_EQ(ReadVirtualMachineParameters(config), u"-Xmx256m");
  EXPECT_EQ(ReadOutputFile(config), u"%TEMP%\\out.log");
  EXPECT_EQ(ReadErrorFile(config), u"err.log");
  EXPECT_EQ(ReadCmd(config), u"-v \"\"");

  test::WriteFile(FreshIniPath(),
                  "[Application+]\r\nCmd=-x\r\nOutput File=out.log\r\n"
                  "[Java Runtime Environment+]\r\nVirtual Machine Parameters=-Xss2m\r\n"
                  "[Class Path+]\r\nClass Path=extra.jar\r\n");
  IniConfig plusOnly(IniPath());
  EXPECT_FALSE(ReadServiceMode(plusOnly));
  EXPECT_EQ(ReadCmd(plusOnly), u" -x");
  EXPECT_EQ(ReadOutputFile(plusOnly), u" out.log");
  EXPECT_EQ(ReadVirtualMachineParameters(plusOnly), u" -Xss2m");
  EXPECT_EQ(ReadClassPath(plusOnly), u" extra.jar");
}

}  // namespace
}  // namespace javelin
