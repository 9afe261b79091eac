// Helpers of the end-to-end tests: applications made of a launcher copy and
// its INI file, Java homes holding the test JVM, launcher runs in the
// background and what main printed.
#pragma once

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "base/file_system.h"
#include "base/text.h"
#include "support/test_support.h"

namespace javelin::test {

// The JVM library's place inside a Java home: lib/server/libjvm.so on
// POSIX, bin\server\jvm.dll on Windows.
std::u16string JvmLibraryInHome(const std::u16string& home);

// Makes `home` a Java home whose JVM is the test JVM, or a variant of it
// without one export (u"nocreate", u"nodefaults", u"noboot"). Returns the
// JVM library's path.
std::u16string InstallTestJvm(const std::u16string& home, const std::u16string& variant = u"");
// Linux: a Java home whose JVM forwards to the JDK's but lacks the
// boot-loader lookup. Empty when the build has none.
std::u16string InstallProxyJvm(const std::u16string& home);
// Whether the build has the machine's JDK and the compiled Java programs.
bool HaveJdk();

// The test JVM's instructions for its next start, and what it recorded
// (both beside its library). The Java program launch.Probe uses the same
// file names in the folder that its property probe.dir names.
void SetTestJvmControl(const std::u16string& library, const std::string& text);
std::vector<std::string> TestJvmLog(const std::u16string& library);
std::u16string Beside(const std::u16string& file, const std::u16string& name);

// Puts a launcher copy named `name` into `dir` and its INI file beside it;
// returns the launcher's path.
std::u16string MakeApp(const std::u16string& dir, const std::u16string& name,
                       const std::string& iniText);
// The INI text of an application of `mainClass` on the runtime at `home`
// (no "JRE Path" when empty) with more lines of its two sections.
std::string AppIni(const std::u16string& home, const std::string& mainClass,
                   const std::string& classPath, const std::string& jreLines = "",
                   const std::string& applicationLines = "");

// What main prints first with both JVMs: "argc=N", then per argument "arg="
// and its UTF-16 units in hex.
std::string PrintedArguments(const TextList& arguments);
// The same on one line after `method`, as both JVMs record secondaryMain.
std::string Call(const std::string& method, const TextList& arguments);

// Replaces "\r\n" by "\n" in both outputs: Windows programs write their
// text streams with carriage returns.
ProcessResult WithUnixLineEnds(ProcessResult result);

// Polls `done` every 10 ms for up to `seconds`; returns its last result.
template <typename Condition>
bool WaitFor(Condition done, double seconds = 60) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return done();
}
inline bool WaitForFile(const std::u16string& path) {
  return WaitFor([&] { return FileExists(path); });
}

// Runs the launcher on a thread of its own (a first single instance, a
// second one that waits for it, a service); get() waits for the result.
inline std::shared_future<ProcessResult> StartInBackground(const std::u16string& launcher,
                                                           const TextList& arguments,
                                                           const ProcessOptions& options = {}) {
  return std::async(std::launch::async,
                    [=] { return WithUnixLineEnds(RunProgram(launcher, arguments, options)); });
}

}  // namespace javelin::test
