// Single-instance mode end to end with the test JVM (Linux, and Windows
// under Wine with the named mapping, event and thread message), and on
// Linux the take-over after a killed first instance with the machine's real
// JVM running launch.Probe: the first instance's main runs until the test
// releases it, and both JVMs log every forwarded call in the same file; the
// test JVM also logs the attaching and detaching of its threads.
#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include <sddl.h>

#include <cstring>
#include <thread>

#include "base/current_user_win.h"
#include "modes/argument_block.h"
#include "modes/single_instance_win.h"
#endif
#ifndef _WIN32
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "modes/single_instance_posix.h"
#endif
#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

enum class Jvm { kTest, kReal };

// A single-instance application whose main waits for the release file, and
// the folder of the JVM's files.
struct SingleApp {
  std::u16string launcher, folder;
  std::u16string File(const char16_t* name) const { return folder + u"testjvm." + name; }
  void Release() const { WriteFile(File(u"release"), ""); }
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const std::string& line : TestJvmLog(File(u"log"))) {
      if (line.rfind("secondaryMain", 0) == 0) calls.push_back(line);
    }
    std::sort(calls.begin(), calls.end());
    return calls;
  }
};

// `secondary` is the kind of secondaryMain ("int" with the test JVM, "void",
// "throw" for an int one that throws, or none), `exitCode` that of the System.exit after the
// release (none when negative; the test JVM's). The standard error stream goes to the file
// "testjvm.err".
SingleApp MakeSingleApp(Jvm jvm, const std::u16string& dir, const std::string& secondary,
                        int exitCode = -1) {
  SingleApp app{u"", dir + kPathSeparator};
  std::u16string home = JdkHome(), classPath = JavaClassesDir();
  std::string mainClass = secondary == "void"    ? "launch.Probe$VoidApp"
                          : secondary == "throw" ? "launch.ThrowingSecondary"
                                                 : "launch.Probe";
  std::string parameters =
      "Virtual Machine Parameters=-Dprobe.dir=" + ToUtf8(dir) + " -Dprobe.action=wait\n";
  if (jvm == Jvm::kTest) {
    home = JoinPath(dir, u"home");
    classPath = JoinPath(dir, u"classes");
    mainClass = "com.example.App";
    parameters = "";
    const std::u16string library = InstallTestJvm(home);
    const std::string kind = secondary == "throw" ? "int\nsecondarythrows" : secondary;
    SetTestJvmControl(library, (secondary.empty() ? "" : "secondary=" + kind + "\n") + "wait\n" +
                                   (exitCode < 0 ? "" : "exit=" + std::to_string(exitCode) + "\n"));
    app.folder = Beside(library, u"");
  }
  for (const char16_t* name : {u"ready", u"release", u"err"})
    std::remove(ToUtf8(app.File(name)).c_str());
  WriteFile(app.File(u"log"), "");
  app.launcher =
      MakeApp(dir, u"app",
              AppIni(home, mainClass, ToUtf8(classPath), parameters,
                     "Single Instance=yes\nError File=" + ToUtf8(app.File(u"err")) + "\n"));
  return app;
}

// Waits until the first instance has served a second instance for which it
// found no secondaryMain, so that the second waits for its end: the test
// JVM has detached the thread that served it, the real JVM has described
// the failed lookup.
bool WaitForSecondInstance(const SingleApp& app) {
  return WaitFor([&] {
    const std::vector<std::string> log = TestJvmLog(app.File(u"log"));
    return std::count(log.begin(), log.end(), "detach") > 0 ||
           ReadFile(app.File(u"err")).find("secondaryMain") != std::string::npos;
  });
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  }
  TempDir dir_;
};

struct Forward {
  TextList arguments;
  int exitCode;       // -1 for the platform's -1
  TextList received;  // empty: no call
};

Forward Echo(const TextList& arguments, int exitCode) { return {arguments, exitCode, arguments}; }

// All second starts of a case run at once, each served with its own
// arguments and reply.
TEST_F(SingleInstanceTest, SecondStartsReachSecondaryMainOrEndWithTheFirstInstancesCode) {
  const std::u16string k515(515, u'x');  // with "ab": exactly 1040 bytes in the block
  std::vector<Forward> numbers = {Echo({u"a b", u"Gr\u00FC\u00DFe \u4E2D\u6587", u"\U0001F600"}, 7),
                                  {{}, 7, {u""}},
                                  Echo({k515, u"ab"}, 7),
                                  {{k515, u"abc"}, -1, {}}};
  for (int i = 20; i < 28; ++i) numbers.push_back(Echo({ToDecimal(i), u"payload"}, i));
  const struct {
    const char* name;
    std::string secondary;
    int exitCode;  // System.exit after the release; the first instance's exit
                   // code
    std::vector<Forward> forwards;
  } cases[] = {
      {"int", "int", 0, numbers},
      {"void",
       "void",
       0,
       {Echo({u"x"}, 0), {{u"one", u"", u"two"}, 0, {u"one"}}, Echo({u"", u"two"}, 0)}},
      // Its call failed: so does the second start.
      {"int that throws", "throw", 0, {{{u"x"}, -1, {u"x"}}}},
      // Nothing replies: the waiting second instance ends with the first's
      // exit code.
      {"no secondaryMain", "", 5, {}},
  };
  int index = 0;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const SingleApp app =
        MakeSingleApp(Jvm::kTest, dir_ / ToDecimal(++index), test.secondary, test.exitCode);
    const auto first = StartInBackground(app.launcher, {u"first"});
    ASSERT_TRUE(WaitForFile(app.File(u"ready")));
    std::vector<std::shared_future<ProcessResult>> seconds;
    for (const Forward& forward : test.forwards)
      seconds.push_back(StartInBackground(app.launcher, forward.arguments));
    std::vector<std::string> expected;
    for (size_t i = 0; i < test.forwards.size(); ++i) {
      const Forward& forward = test.forwards[i];
      const ProcessResult& second = seconds[i].get();
      EXPECT_EQ(second.exitCode, forward.exitCode == -1 ? ExitCodeMinusOne() : forward.exitCode)
          << i;
      EXPECT_EQ(second.output + second.errors, "");
      if (!forward.received.empty()) expected.push_back(Call("secondaryMain", forward.received));
    }
    std::sort(expected.begin(), expected.end());
    const std::u16string trace = app.folder + u"trace.txt";
    if (test.forwards.empty()) {
      ProcessOptions traced;
      traced.environment[u"JAVELIN_TRACE"] = trace;
      seconds.push_back(StartInBackground(app.launcher, {u"x"}, traced));
      ASSERT_TRUE(WaitForSecondInstance(app));
    }
    app.Release();
    const ProcessResult& result = first.get();
    EXPECT_EQ(result.exitCode, test.exitCode) << result.errors;
    // main ran once, in the first instance.
    EXPECT_EQ(result.output.rfind(PrintedArguments({u"first"}), 0), 0u) << result.output;
    EXPECT_EQ(result.output.find("argc=", 1), std::string::npos) << result.output;
    if (test.forwards.empty()) {
      EXPECT_EQ(seconds.back().get().exitCode, test.exitCode);
      // The trace tells that it waited and what ended the wait.
      const std::string lines = ReadFile(trace);
      EXPECT_NE(lines.find("javelin: single instance: waiting for the first instance"),
                std::string::npos)
          << lines;
      EXPECT_NE(lines.find("javelin: single instance: the wait ended: the first instance ended "
                           "with its exit code " +
                           std::to_string(test.exitCode) + "\n"),
                std::string::npos)
          << lines;
    }
    EXPECT_EQ(app.Calls(), expected);
    const std::vector<std::string> log = TestJvmLog(app.File(u"log"));
    const long served = static_cast<long>(expected.size() + test.forwards.empty());
    EXPECT_EQ(std::count(log.begin(), log.end(), "attach"), served);
    EXPECT_EQ(std::count(log.begin(), log.end(), "detach"), served);
  }
}

// Copies of one application at two paths are two applications: each runs
// main.
TEST_F(SingleInstanceTest, CopiesAtTwoPathsEachRunTheApplication) {
  const SingleApp a = MakeSingleApp(Jvm::kTest, dir_ / u"a", "void"),
                  b = MakeSingleApp(Jvm::kTest, dir_ / u"b", "void");
  const auto first = StartInBackground(a.launcher, {u"a"});
  ASSERT_TRUE(WaitForFile(a.File(u"ready")));
  const auto second = StartInBackground(b.launcher, {u"b"});
  ASSERT_TRUE(WaitForFile(b.File(u"ready")));
  a.Release();
  b.Release();
  EXPECT_EQ(first.get().output.rfind(PrintedArguments({u"a"}), 0), 0u);
  EXPECT_EQ(second.get().output.rfind(PrintedArguments({u"b"}), 0), 0u);
}

#ifdef _WIN32
// Two spellings of one executable's path, differing in letter case, are
// one application: the second start forwards to the first.
TEST_F(SingleInstanceTest, SpellingsOfOnePathAreOneInstance) {
  const SingleApp app = MakeSingleApp(Jvm::kTest, dir_ / u"Case", "int");
  std::u16string upper = app.launcher;
  for (char16_t& c : upper) c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
  ASSERT_NE(upper, app.launcher);
  const auto first = StartInBackground(app.launcher, {u"first"});
  ASSERT_TRUE(WaitForFile(app.File(u"ready")));
  EXPECT_EQ(RunProgram(upper, {u"9"}).exitCode, 9);
  app.Release();
  EXPECT_EQ(first.get().exitCode, 0);
  EXPECT_EQ(app.Calls(), std::vector<std::string>{Call("secondaryMain", {u"9"})});
}

// A stand-in first instance whose region exists before its listener does:
// the test makes the region itself and starts the listener only after the
// second start has found the region. With `owner` (a SID string) the region
// belongs to that account instead of this user.
class LateFirstInstance {
 public:
  LateFirstInstance(const std::u16string& launcher, const wchar_t* owner)
      : base_(InstanceBaseName(launcher)) {
    PrivateSecurity own;  // as a first instance makes it
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    if (own.get() != nullptr) attributes = *own.get();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring sddl =
        owner == nullptr ? L"" : L"O:" + std::wstring(owner) + L"D:(A;;GA;;;WD)";
    if (owner != nullptr && ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
      attributes.lpSecurityDescriptor = descriptor;
    }
    mapping_ =
        CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, 2092, Name());
    if (descriptor != nullptr) LocalFree(descriptor);
    view_ = mapping_ != nullptr
                ? static_cast<unsigned char*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0))
                : nullptr;
  }
  ~LateFirstInstance() {
    if (listener_.joinable()) {
      PostThreadMessageW(listenerId_, WM_QUIT, 0, 0);
      listener_.join();
    }
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
  }
  bool made() const { return view_ != nullptr; }

  // Starts the listener, which answers one request with `reply`, and writes
  // the region's fields as a first instance does.
  void StartListener(int32_t reply) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    listener_ = std::thread([this, reply, ready] {
      MSG message;
      PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
      listenerId_ = GetCurrentThreadId();
      SetEvent(ready);
      const UINT messageId = RegisterWindowMessageW(Name());
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message != messageId) continue;
        received_ = DecodeArgumentBlock(view_ + 12, 2090 - 12);
        PostThreadMessageW(static_cast<DWORD>(message.wParam), messageId,
                           static_cast<WPARAM>(reply), 0);
      }
    });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    const uint32_t fields[3] = {listenerId_, GetCurrentProcessId(), RegisterWindowMessageW(Name())};
    std::memcpy(view_ + 8, &fields[2], 4);
    std::memcpy(view_ + 4, &fields[1], 4);
    std::memcpy(view_, &fields[0], 4);
  }
  TextList received() const { return received_; }

 private:
  const wchar_t* Name() const { return reinterpret_cast<const wchar_t*>(base_.c_str()); }
  std::u16string base_;
  HANDLE mapping_ = nullptr;
  unsigned char* view_ = nullptr;
  std::thread listener_;
  DWORD listenerId_ = 0;
  TextList received_;
};

// A second start that finds the region before the listener exists waits for
// it and hands over its arguments; a region that belongs to another account
// gets nothing, and the start runs the application itself.
TEST_F(SingleInstanceTest, SecondStartWaitsForAListenerAndTrustsOnlyItsOwnUsersRegion) {
  const SingleApp app = MakeSingleApp(Jvm::kTest, dir_ / u"late", "int");
  WriteFile(app.File(u"control"), "secondary=int\n");  // main returns at once
  {
    LateFirstInstance first(app.launcher, nullptr);
    ASSERT_TRUE(first.made());
    const auto second = StartInBackground(app.launcher, {u"late", u"x"});
    Sleep(700);
    first.StartListener(42);
    EXPECT_EQ(second.get().exitCode, 42);
    EXPECT_EQ(first.received(), (TextList{u"late", u"x"}));
  }
  {
    LateFirstInstance foreign(app.launcher, L"SY");  // LocalSystem
    ASSERT_TRUE(foreign.made());
    const ProcessResult own = WithUnixLineEnds(RunProgram(app.launcher, {u"own"}));
    EXPECT_EQ(own.exitCode, 0);
    EXPECT_EQ(own.output, PrintedArguments({u"own"}));
    EXPECT_EQ(foreign.received(), TextList{});
  }
}
#endif

#ifndef _WIN32
// With the real JVM: a waiting second instance ends with -1 when the first
// instance is killed with SIGKILL. The stale socket file does not keep the
// next start from becoming the first instance and serving forwards, and
// its orderly end removes both files.
TEST(SingleInstanceRealJvmTest, AfterAKilledFirstInstanceTheNextStartTakesOver) {
  if (!HaveJdk()) GTEST_SKIP() << "no JDK";
  TempDir dir_;
  SingleApp app = MakeSingleApp(Jvm::kReal, dir_.path(), "");
  const auto first = StartInBackground(app.launcher, {});
  ASSERT_TRUE(WaitForFile(app.File(u"ready")));
  ProcessOptions traced;
  traced.environment[u"JAVELIN_TRACE"] = dir_ / u"trace.txt";
  const auto waiting = StartInBackground(app.launcher, {u"x"}, traced);
  ASSERT_TRUE(WaitForSecondInstance(app));
  const std::string firstId = ReadFile(app.File(u"ready"));
  ASSERT_EQ(kill(std::stoi(firstId), SIGKILL), 0);
  EXPECT_EQ(first.get().exitCode, 128 + SIGKILL);
  EXPECT_EQ(waiting.get().exitCode, 255);
  const std::string trace = ReadFile(dir_ / u"trace.txt");
  EXPECT_NE(
      trace.find("single instance: waiting for the first instance (process " + firstId + ")\n"),
      std::string::npos)
      << trace;
  EXPECT_NE(
      trace.find("single instance: the wait ended: the first instance ended without an exit code"),
      std::string::npos)
      << trace;

  InstanceRendezvous rendezvous;
  std::string whyNot;
  ASSERT_TRUE(FindInstanceRendezvous(app.launcher, rendezvous, whyNot)) << whyNot;
  EXPECT_TRUE(FileExists(FromUtf8(rendezvous.SocketPath())));
  app = MakeSingleApp(Jvm::kReal, dir_.path(),
                      "void");  // the same executable, now with secondaryMain
  const auto next = StartInBackground(app.launcher, {u"next"});
  ASSERT_TRUE(WaitForFile(app.File(u"ready")));
  EXPECT_EQ(RunProgram(app.launcher, {u"after"}).exitCode, 0);
  app.Release();
  EXPECT_EQ(next.get().exitCode, 0);
  EXPECT_EQ(app.Calls(), std::vector<std::string>{Call("secondaryMain", {u"after"})});
  EXPECT_FALSE(FileExists(FromUtf8(rendezvous.SocketPath())));
  EXPECT_FALSE(FileExists(FromUtf8(rendezvous.LockPath())));
}

// The exception of an int secondaryMain reaches the first instance's error
// stream, and the second start ends with -1 instead of a success.
TEST(SingleInstanceRealJvmTest, AnIntSecondaryMainThatThrowsFailsTheSecondStart) {
  if (!HaveJdk()) GTEST_SKIP() << "no JDK";
  TempDir dir_;
  const SingleApp app = MakeSingleApp(Jvm::kReal, dir_.path(), "throw");
  const auto first = StartInBackground(app.launcher, {});
  ASSERT_TRUE(WaitForFile(app.File(u"ready")));
  const ProcessResult second = RunProgram(app.launcher, {u"x"});
  EXPECT_EQ(second.exitCode, 255);
  EXPECT_EQ(second.output + second.errors, "");
  app.Release();
  EXPECT_EQ(first.get().exitCode, 0);
  EXPECT_EQ(app.Calls(), std::vector<std::string>{Call("secondaryMain", {u"x"})});
  EXPECT_NE(ReadFile(app.File(u"err")).find("IllegalStateException: boom from secondaryMain"),
            std::string::npos);
}

// One user's starts meet in one place whatever XDG_RUNTIME_DIR says, and
// no other user can take that place: here a start from a desktop session
// (with XDG_RUNTIME_DIR) and one from cron (without it) meet, although
// another user (root) has created the folder in /tmp that a start without
// the variable would once have used. Both run as a user of their own.
TEST(SingleInstanceUsersTest, StartsWithAndWithoutRuntimeDirMeetWhateverOtherUsersCreate) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  if (geteuid() != 0) GTEST_SKIP() << "starting as another user needs root";
  const char* const kUser = "javelin-single";
  if (getpwnam(kUser) == nullptr)
    std::system((std::string("useradd -m ") + kUser + " 2>/dev/null").c_str());
  const passwd* user = getpwnam(kUser);
  if (user == nullptr) GTEST_SKIP() << "cannot create the user " << kUser;
  const uid_t uid = user->pw_uid;
  const gid_t gid = user->pw_gid;

  const std::string squatted = "/tmp/javelin-" + std::to_string(uid);
  mkdir(squatted.c_str(), 0700);
  ASSERT_EQ(chown(squatted.c_str(), 0, 0), 0);

  TempDir dir_;
  const SingleApp app = MakeSingleApp(Jvm::kTest, dir_.path(), "int");
  MakeDirectories(dir_ / u"runtime");
  chmod(ToUtf8(dir_ / u"runtime").c_str(), 0700);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(ToUtf8(dir_.path()))) {
    lchown(entry.path().c_str(), uid, gid);
  }
  ASSERT_EQ(chown(ToUtf8(dir_.path()).c_str(), uid, gid), 0);

  const auto asUser = [&](const std::u16string& launcher, const TextList& arguments) {
    TextList command = {u"--reuid=" + ToDecimal(uid), u"--regid=" + ToDecimal(gid),
                        u"--clear-groups", launcher};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
  };
  ProcessOptions desktop, cron;
  desktop.environment[u"XDG_RUNTIME_DIR"] = dir_ / u"runtime";
  cron.environment[u"XDG_RUNTIME_DIR"] = std::nullopt;
  const auto first =
      StartInBackground(u"/usr/bin/setpriv", asUser(app.launcher, {u"first"}), desktop);
  ASSERT_TRUE(WaitForFile(app.File(u"ready")));
  const auto second = StartInBackground(u"/usr/bin/setpriv", asUser(app.launcher, {u"7"}), cron);
  // A second start that ran the application itself would wait for the release.
  const bool forwarded = second.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  app.Release();
  EXPECT_TRUE(forwarded);
  EXPECT_EQ(second.get().exitCode, 7) << second.get().output;
  EXPECT_EQ(first.get().exitCode, 0) << first.get().errors;
  EXPECT_EQ(app.Calls(), std::vector<std::string>{Call("secondaryMain", {u"7"})});
  rmdir(squatted.c_str());
}
#endif

}  // namespace
}  // namespace javelin::test
