// The startup cache end to end with the machine's real JVMs: every
// installed JDK from 13 on creates its cache on the first start (also when
// two first starts run at once), uses it later and survives a garbled file,
// all without a byte of difference in the application's output. Which file
// a start uses or replaces is decided, and checked, where the plan is made.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>

#include "e2e/e2e_support.h"
#include "jvm/startup_cache.h"

namespace javelin::test {
namespace {

namespace fs = std::filesystem;

// One JDK per feature version from /usr/lib/jvm (links to the same JDK
// count once).
std::vector<std::pair<int, std::u16string>> InstalledJdks() {
  std::map<int, std::u16string> homes;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/usr/lib/jvm", error)) {
    const std::u16string home = FromUtf8(entry.path().string());
    const int version = ReadRuntimeFeatureVersion(home);
    if (version >= 13 && FileExists(JvmLibraryInHome(home)) &&
        FileExists(JoinPath(home, u"bin/jar"))) {
      homes.emplace(version, home);
    }
  }
  return {homes.begin(), homes.end()};
}

class StartupCacheRealJvmTest : public ::testing::TestWithParam<std::pair<int, std::u16string>> {};

TEST_P(StartupCacheRealJvmTest, CreatedOnceUsedLaterAndSafeWhenDamaged) {
  if (JavaClassesDir().empty()) GTEST_SKIP() << "no Java programs";
  TempDir app, cacheHome;
  // The class-data archives take only JAR files.
  const ProcessResult jar =
      RunProgram(JoinPath(GetParam().second, u"bin/jar"),
                 {u"cf", app / u"probe.jar", u"-C", JavaClassesDir(), u"launch"});
  ASSERT_EQ(jar.exitCode, 0) << jar.output << jar.errors;
  ProcessOptions options;
  options.environment[u"XDG_CACHE_HOME"] = cacheHome.path();
  const auto launcher = [&](const char* cacheLine) {
    return MakeApp(app.path(), u"app",
                   AppIni(GetParam().second, "launch.Probe", "probe.jar",
                          std::string("Virtual Machine Parameters=-Xmx128m\n") + cacheLine,
                          "[Product Information]\nProduct Name=Cache Probe\nProduct "
                          "Code=CP1\n"));
  };
  const ProcessResult plain = RunProgram(launcher(""), {}, options);
  ASSERT_EQ(plain.exitCode, 0) << plain.output << plain.errors;
  ASSERT_EQ(plain.output.rfind("argc=0\n", 0), 0u) << plain.output;
  // With the cache the application prints what it printed without and, on
  // standard error, only its options and "main done": not a word from the
  // JVM. Returns those.
  const std::u16string cached = launcher("Startup Cache=yes\n");
  const auto cleanRun = [&] {
    const ProcessResult result = RunProgram(cached, {}, options);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, plain.output);
    EXPECT_TRUE(std::regex_match(result.errors, std::regex("(option [^\n]*\n)*main done\n")))
        << result.errors;
    return result.errors;
  };
  // The finished cache files or the pending ones.
  const auto files = [&](bool finished) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry :
         fs::directory_iterator(ToUtf8(cacheHome / u"Cache Probe/CP1"), error)) {
      const std::string ext = entry.path().extension().string();
      if (finished ? ext == ".jsa" || ext == ".aot" : ext == ".tmp" || ext == ".aotconf") {
        files.push_back(entry.path().string());
      }
    }
    return files;
  };

  // Two first starts at once: both run normally; each may write its own
  // file, and the next start uses one and keeps only that.
  const std::string use = GetParam().first >= 25 ? "-XX:AOTCache=" : "-XX:SharedArchiveFile=";
  std::string firstErrors[2];
  std::thread other([&] { firstErrors[1] = cleanRun(); });
  firstErrors[0] = cleanRun();
  other.join();
  for (const std::string& errors : firstErrors)
    EXPECT_EQ(errors.find(use), std::string::npos) << errors;
  // JDK 25 assembles its cache in the background after the first start.
  EXPECT_TRUE(WaitFor([&] { return !files(true).empty() && files(false).empty(); }, 90));
  const std::string second = cleanRun();
  const std::vector<std::string> created = files(true);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_NE(second.find(use + created[0]), std::string::npos) << second;

  // A garbled file of the right size is refused by the JVM in silence and
  // the start runs normally (that a cut one is never handed to the JVM is
  // checked where the plan is made).
  fs::permissions(created[0], fs::perms::owner_write, fs::perm_options::add);
  std::string bytes = ReadFile(FromUtf8(created[0]));
  for (size_t i = 0; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(bytes[i] * 31 + 17);
  WriteFile(FromUtf8(created[0]), bytes);
  EXPECT_NE(cleanRun().find(use + created[0]), std::string::npos);
}

// The home of the installed JDK of `version`; empty when there is none.
std::u16string JdkOf(int version) {
  for (const auto& [feature, home] : InstalledJdks()) {
    if (feature == version) return home;
  }
  return {};
}

// A JAR of the test programs (class-data archives take only JAR files).
std::u16string MakeJar(const std::u16string& home, const std::u16string& dir) {
  MakeDirectories(dir);
  const std::u16string jar = JoinPath(dir, u"programs.jar");
  const ProcessResult made =
      RunProgram(JoinPath(home, u"bin/jar"), {u"cf", jar, u"-C", JavaClassesDir(), u"."});
  EXPECT_EQ(made.exitCode, 0) << made.errors;
  return jar;
}

// The ids of the processes whose command line mentions `text`, this one
// excepted (an ended process has an empty command line).
std::vector<pid_t> ProcessesMentioning(const std::string& text) {
  std::vector<pid_t> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(name));
    if (pid != getpid() &&
        ReadFile(FromUtf8(entry.path().string() + "/cmdline")).find(text) != std::string::npos) {
      found.push_back(pid);
    }
  }
  return found;
}

// A cache folder on a file system of 256 KB, or under a file-size limit of
// 200 KB, must leave every start as it is without the cache: same exit code,
// same output, every time.
TEST(StartupCacheFaultTest, NoRoomForTheCacheChangesNoStart) {
  if (JavaClassesDir().empty()) GTEST_SKIP() << "no Java programs";
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  TempDir app, tiny;
  if (mount("tmpfs", ToUtf8(tiny.path()).c_str(), "tmpfs", 0, "size=256k") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs: " << strerror(errno);
  }
  struct Unmount {
    std::string path;
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
  } unmount{ToUtf8(tiny.path())};
  for (const int version : {17, 25}) {
    const std::u16string home = JdkOf(version);
    if (home.empty()) continue;
    const std::u16string dir = app / ToDecimal(version);
    const std::u16string jar = MakeJar(home, dir);
    const auto launcher = [&](const std::u16string& name, const char* cacheLine) {
      return MakeApp(dir, name,
                     AppIni(home, "launch.Probe", ToUtf8(jar), cacheLine,
                            "[Product Information]\nProduct Name=Tiny\nProduct Code=T" +
                                std::to_string(version) + "\n"));
    };
    const std::u16string plain = launcher(u"plain", ""),
                         cached = launcher(u"cached", "Startup Cache=yes\n");
    for (const bool limited : {false, true}) {
      SCOPED_TRACE("Java " + std::to_string(version) +
                   (limited ? " under ulimit -f 200" : " on 256 KB"));
      ProcessOptions options;
      options.environment[u"XDG_CACHE_HOME"] = limited ? app / u"cache" : tiny.path();
      const auto run = [&](const std::u16string& program) {
        return RunProgram(
            u"/bin/sh", {u"-c", limited ? u"ulimit -f 200; exec \"$0\"" : u"exec \"$0\"", program},
            options);
      };
      const ProcessResult expected = run(plain);
      ASSERT_EQ(expected.exitCode, 0) << expected.output << expected.errors;
      for (int start = 0; start < 3; ++start) {
        const ProcessResult result = run(cached);
        EXPECT_EQ(result.exitCode, expected.exitCode) << start;
        EXPECT_EQ(result.output, expected.output) << start;
        EXPECT_EQ(result.errors, expected.errors) << start;
      }
    }
  }
}

// The Java 25 assembly after a recording start gets the standard streams
// and nothing else: an application that listened on a port can be started
// again at once.
TEST(StartupCacheFaultTest, TheAssemblyHoldsNoneOfTheApplicationsDescriptors) {
  const std::u16string home = JdkOf(25);
  if (home.empty() || JavaClassesDir().empty()) GTEST_SKIP() << "no Java 25 or no Java programs";
  TempDir app, cacheHome;
  const std::u16string launcher = MakeApp(
      app.path(), u"server",
      AppIni(home, "cache.Listener", ToUtf8(MakeJar(home, app.path())), "Startup Cache=yes\n",
             "[Product Information]\nProduct Name=Listener\nProduct Code=L1\n"));
  // A port that is free now.
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
  close(probe);
  const std::u16string port = ToDecimal(ntohs(address.sin_port));

  ProcessOptions options;
  options.environment[u"XDG_CACHE_HOME"] = cacheHome.path();
  options.environment[u"JAVELIN_TRACE"] = u"1";
  const ProcessResult recording = RunProgram(launcher, {port}, options);
  ASSERT_EQ(recording.exitCode, 0) << recording.errors;
  ASSERT_NE(recording.errors.find("startup cache created: recording"), std::string::npos)
      << recording.errors;
  const ProcessResult again = RunProgram(launcher, {port}, options);
  EXPECT_EQ(again.exitCode, 0) << again.errors;
  EXPECT_EQ(again.output, "listening on " + ToUtf8(port) + "\n");
}

// Java 25 service starts with the cache, each stopped the way systemd stops
// a service: SIGTERM to the launcher, then to every process it left. The
// recording start's thread dump on SIGQUIT reaches the output; the cache is
// in use by the third start. A recording start killed with SIGKILL blocks
// nothing.
TEST(StartupCacheFaultTest, StoppedOrKilledStartsGetTheirCacheAndKeepThreadDumps) {
  const std::u16string home = JdkOf(25);
  if (home.empty() || JavaClassesDir().empty()) GTEST_SKIP() << "no Java 25 or no Java programs";
  TempDir app, cacheHome;
  const std::u16string launcher = MakeApp(
      app.path(), u"svc",
      AppIni(home, "launch.Probe$VoidApp", ToUtf8(MakeJar(home, app.path())),
             "Startup Cache=yes\nVirtual Machine Parameters=-Dprobe.action=wait -Dprobe.dir=" +
                 ToUtf8(app.path()) + "\n",
             "Application Type=service\n[Product Information]\nProduct Name=Service\nProduct "
             "Code=S1\n"));
  ProcessOptions options;
  options.environment[u"XDG_CACHE_HOME"] = cacheHome.path();
  options.environment[u"JAVELIN_TRACE"] = u"1";
  options.environment[u"NOTIFY_SOCKET"] = std::nullopt;
  const std::u16string ready = app / u"testjvm.ready";
  // Starts the service, sends `signals` once main waits, and returns how
  // it ended.
  const auto start = [&](std::vector<int> signals, std::function<void()> whileRunning = {}) {
    RemoveFilePath(ready);
    const auto run = StartInBackground(launcher, {}, options);
    EXPECT_TRUE(WaitForFile(ready));
    const pid_t pid = static_cast<pid_t>(std::stol("0" + ReadFile(ready)));
    if (whileRunning) whileRunning();
    for (const int signalNumber : signals) kill(pid, signalNumber);
    const ProcessResult result = run.get();
    for (const pid_t left : ProcessesMentioning(ToUtf8(cacheHome.path()))) kill(left, SIGTERM);
    EXPECT_TRUE(WaitFor([&] { return ProcessesMentioning(ToUtf8(cacheHome.path())).empty(); }, 30));
    return result;
  };

  const ProcessResult killed = start({SIGKILL});
  EXPECT_EQ(killed.exitCode, 128 + SIGKILL);
  const ProcessResult first =
      start({SIGQUIT, SIGTERM}, [] { std::this_thread::sleep_for(std::chrono::seconds(1)); });
  EXPECT_EQ(first.exitCode, 0) << first.errors;
  EXPECT_NE(first.errors.find("startup cache created: recording"), std::string::npos)
      << first.errors;
  EXPECT_NE(first.output.find("Full thread dump"), std::string::npos) << first.output;
  EXPECT_EQ(first.output.find("AOTConfiguration"), std::string::npos) << first.output;
  EXPECT_NE(first.output.find("stop called"), std::string::npos) << first.output;

  // The next start assembles what the first recorded while it runs.
  const ProcessResult second = start({SIGTERM}, [&] {
    EXPECT_TRUE(WaitFor(
        [&] {
          std::error_code error;
          for (const auto& entry :
               fs::directory_iterator(ToUtf8(cacheHome / u"Service/S1"), error)) {
            if (entry.path().extension() == ".aot") return true;
          }
          return false;
        },
        120));
  });
  EXPECT_EQ(second.exitCode, 0) << second.errors;
  const ProcessResult third = start({SIGTERM});
  EXPECT_EQ(third.exitCode, 0) << third.errors;
  EXPECT_NE(third.errors.find("startup cache used"), std::string::npos)
      << second.errors << third.errors;
}

INSTANTIATE_TEST_SUITE_P(InstalledJdks, StartupCacheRealJvmTest,
                         ::testing::ValuesIn(InstalledJdks()), [](const auto& info) {
                           return "Java" + std::to_string(info.param.first);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(StartupCacheRealJvmTest);

}  // namespace
}  // namespace javelin::test
