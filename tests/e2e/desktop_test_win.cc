// The windowless launcher (javelinw.exe): the same program as javelin.exe
// linked for the GUI subsystem. Started with standard handles (a script's
// redirection) it behaves exactly like the console launcher.
// tests/ui/desktop_errors_on_display_win.sh starts it without standard
// handles, as Explorer does, and closes its message box.
#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

std::u16string WindowlessLauncherPath() { return HostPath(JAVELIN_WINDOWLESS_LAUNCHER); }

// The subsystem field of a PE file's optional header; 0 when unreadable.
int Subsystem(const std::u16string& path) {
  const std::string bytes = ReadFile(path);
  if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return 0;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
  if (static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > bytes.size()) return 0;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes.data() + dos->e_lfanew);
  return nt->OptionalHeader.Subsystem;
}

TEST(WindowlessLauncher, IsLinkedForTheGuiSubsystemAndRunsLikeTheConsoleLauncher) {
  EXPECT_EQ(Subsystem(WindowlessLauncherPath()), IMAGE_SUBSYSTEM_WINDOWS_GUI);
  EXPECT_EQ(Subsystem(LauncherPath()), IMAGE_SUBSYSTEM_WINDOWS_CUI);

  TempDir dir;
  const std::u16string launcher = dir / u"app/app.exe";
  CopyOneFile(WindowlessLauncherPath(), launcher);
  const std::u16string library = InstallTestJvm(dir / u"jre");
  SetTestJvmControl(library, "exit=7\n");
  WriteFile(dir / u"app/app.ini",
            AppIni(dir / u"jre", "com.example.App", ".", "", "Output File=out.txt\n"));
  ProcessOptions options;
  options.workingDirectory = dir / u"app";
  options.timeoutSeconds = 60;
  // The exit code of System.exit comes back; main's output reaches the
  // output file.
  ProcessResult result = WithUnixLineEnds(RunProgram(launcher, {u"one"}, options));
  EXPECT_EQ(result.exitCode, 7) << result.errors;
  EXPECT_EQ(WithUnixLineEnds({0, ReadFile(dir / u"app/out.txt"), ""}).output,
            PrintedArguments({u"one"}));

  // With standard output redirected an error is the line, in the
  // configured language, and no message box holds the script up.
  WriteFile(
      dir / u"app/app.ini",
      "[Product Information]\r\nProduct Name=Acme\r\n[Application]\r\nMessage Language=en\r\n");
  result = WithUnixLineEnds(RunProgram(launcher, {}, options));
  EXPECT_EQ(result.exitCode, -1);
  EXPECT_EQ(result.output, "Error: Main class not specified in the INI file. \n");
}

}  // namespace
}  // namespace javelin::test
