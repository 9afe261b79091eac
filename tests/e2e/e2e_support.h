// Helpers of the end-to-end tests: applications made of a launcher copy and
// its INI file, Java homes holding the test JVM, and what main printed.
#pragma once

#include <string>
#include <vector>

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

// The test JVM's instructions for its next start, and what it recorded
// (both beside its library).
void SetTestJvmControl(const std::u16string& library, const std::string& text);
std::vector<std::string> TestJvmLog(const std::u16string& library);

// Puts a launcher copy named `name` into `dir` and its INI file beside it;
// returns the launcher's path.
std::u16string MakeApp(const std::u16string& dir, const std::u16string& name,
                       const std::string& iniText);

// What main prints first with both JVMs: "argc=N", then per argument "arg="
// and its UTF-16 units in hex.
std::string PrintedArguments(const TextList& arguments);

// Replaces "\r\n" by "\n" in both outputs: Windows programs write their
// text streams with carriage returns.
ProcessResult WithUnixLineEnds(ProcessResult result);

}  // namespace javelin::test
