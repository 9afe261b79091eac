// Helpers of the end-to-end tests: applications made of a launcher copy and
// its INI file, Java homes holding the test JVM, and the test JVM's log.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "support/test_support.h"

namespace javelin::test {

// The built test JVM library, or one of its variants that lack an export:
// u"nocreate", u"nodefaults", u"noboot".
std::u16string TestJvmVariantPath(const std::u16string& variant = u"");

// The JVM library's place inside a Java home: lib/server/libjvm.so on
// POSIX, bin\server\jvm.dll on Windows.
std::u16string JvmLibraryInHome(const std::u16string& home);
// The file that marks a folder as a Java runtime, relative to its home:
// lib/libjava.so on POSIX, bin/java.dll on Windows.
std::u16string RuntimeMarkerInHome();

// Makes `home` a Java home whose server JVM is the test JVM (or a variant),
// with the runtime marker beside it. Returns the JVM library path.
std::u16string InstallTestJvm(const std::u16string& home, const std::u16string& variant = u"");

// Linux: makes `home` a Java home whose JVM library forwards to the real
// JDK's JVM but lacks the boot-loader lookup. Empty when there is none.
std::u16string InstallProxyJvm(const std::u16string& home);

// Puts a launcher copy named `name` into `dir` and its INI file beside it;
// returns the launcher's path.
std::u16string MakeApp(const std::u16string& dir, const std::u16string& name,
                       const std::string& iniText);

// Replaces "\r\n" by "\n" in both outputs: Windows programs write their
// text streams with carriage returns.
ProcessResult WithUnixLineEnds(ProcessResult result);

// Whether the machine's JDK and the compiled Java programs are there (Linux).
bool RealJvmAvailable();

// Sets (or with nullopt removes) a variable of this process's environment.
void SetProcessEnvironment(const std::u16string& name, const std::optional<std::u16string>& value);

// The test JVM's log written beside `library` (or at an explicit path).
std::vector<std::string> ReadLines(const std::u16string& path);
std::u16string TestJvmLogBeside(const std::u16string& library);
std::u16string TestJvmControlBeside(const std::u16string& library);
bool HasLine(const std::vector<std::string>& lines, const std::string& line);
// Index of the first line equal to `line`, or -1.
int LineIndex(const std::vector<std::string>& lines, const std::string& line);

// The test JVM's escaping: printable ASCII as is, '\' doubled, other bytes
// \xHH, other UTF-16 units \uHHHH.
std::string EscapeBytes(const std::string& bytes);
std::string EscapeUnits(const std::u16string& units);

}  // namespace javelin::test
