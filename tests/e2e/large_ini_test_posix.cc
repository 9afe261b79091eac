// Launches with very large INI files beside the launcher: the whole file is
// read and parsed once, so even 20 MB of random bytes or 400,000 keys reach
// the missing main class within a small CPU allowance.
#include <gtest/gtest.h>

#include <random>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

std::string RandomBytes(size_t size) {
  std::mt19937 generator(2026);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

std::string ManyKeys(int count) {
  std::string text = "[Java Runtime Environment]\n";
  for (int i = 0; i < count; ++i)
    text += "Key " + std::to_string(i) + "=value " + std::to_string(i) + "\n";
  return text;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

TEST(LargeIni, AHugeFileReachesItsOutcomeWithinTwoSecondsOfCpu) {
  if (kSanitized)
    GTEST_SKIP()
        << "the sanitizers multiply the launcher's CPU time; the allowance fits a plain build";
  TempDir dir;
  const struct {
    const char* name;
    std::u16string launcher;
    std::string ini;
  } cases[] = {
      {"20 MB of random bytes", u"random", RandomBytes(20 << 20)},
      {"400,000 keys", u"keys", ManyKeys(400000)},
  };
  for (const auto& item : cases) {
    SCOPED_TRACE(item.name);
    const std::u16string launcher = MakeApp(dir.path(), item.launcher, item.ini);
    // A CPU limit rather than a clock: a busy machine slows the run but does
    // not make it fail. Reading the file once per key needs several seconds.
    const ProcessResult result =
        RunProgram(u"/bin/sh", {u"-c", u"ulimit -t 2 && exec \"$0\"", launcher});
    EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
    EXPECT_EQ(result.output, "Error: Main class in der INI-Datei nicht spezifiziert. \n");
  }
}

}  // namespace
}  // namespace javelin::test
