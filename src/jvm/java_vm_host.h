// The JVM of a launch: loading the JVM library, creating the JVM with its
// hooks and output redirection, destroying it; and building Java strings.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/failure.h"
#include "jvm/jni_api.h"
#include "jvm/launch_plan.h"

namespace javelin {

// The entry points of a loaded JVM library.
struct JvmEntryPoints {
  CreateJavaVmFunction createJavaVm = nullptr;
  GetDefaultJavaVmInitArgsFunction getDefaultJavaVmInitArgs = nullptr;
  // Optional: without it the main class is found through FindClass.
  FindClassFromBootLoaderFunction findClassFromBootLoader = nullptr;
};

// Loads the library (its runtime's bin folder added to the library search
// directories first) and resolves the entry points. On failure returns
// message 222 (the library did not load) or 212 (an entry point is missing)
// for the caller to report. The library stays loaded for the life of the
// process.
Result<JvmEntryPoints> LoadJvmLibrary(const std::u16string& jvmLibraryPath);

// Owns the JVM of the process from its creation to DestroyJavaVM.
class JvmSession {
 public:
  explicit JvmSession(const JvmEntryPoints& entryPoints);
  // Destroys a JVM that still exists (see Destroy).
  ~JvmSession();
  JvmSession(const JvmSession&) = delete;
  JvmSession& operator=(const JvmSession&) = delete;

  // javaStackSize of the JVM's default JDK 1.1 init args, or 0.
  uint32_t DefaultThreadStackSize() const;

  // Creates the JVM on the calling thread with the plan's options plus the
  // "abort" and "exit" hooks, then points System.out and System.err at the
  // plan's files (date-time pictures expanded). Reports message 213 and
  // returns false when the JVM cannot be created.
  bool Create(const LaunchPlan& plan);

  // DestroyJavaVM, which waits for the application's remaining non-daemon
  // threads; at most once, and only while the JVM exists. The JVM stays
  // reachable (vm(), AttachCurrentThread) until DestroyJavaVM has returned,
  // so that a stop request can still reach an application whose main has
  // returned while its other threads run on.
  void Destroy();

  // Attaches the calling thread to the JVM as a non-daemon thread, from the
  // JVM's creation until DestroyJavaVM has returned; a thread attached while
  // DestroyJavaVM waits keeps it waiting until the thread detaches. Returns
  // the JVM and sets `env`, or null when there is no JVM (not yet, or no
  // more) or the attach failed. Any thread may call it.
  JavaVM* AttachCurrentThread(JNIEnv** env);

  // The JVM while it exists (until DestroyJavaVM has returned), else null;
  // any thread may ask.
  JavaVM* vm() const { return vm_.load(); }
  // The JNI environment of the thread that created the JVM.
  JNIEnv* env() const { return env_; }
  const JvmEntryPoints& entryPoints() const { return entryPoints_; }

 private:
  JvmEntryPoints entryPoints_;
  std::atomic<JavaVM*> vm_{nullptr};
  std::atomic<bool> destroyStarted_{false};
  // Threads inside AttachCurrentThread's call into the JVM.
  std::atomic<int> attaching_{0};
  JNIEnv* env_ = nullptr;
};

// The receiver of the JVM's exit and abort hooks (the service host in
// service mode); null for none. The hooks get no context from the JVM, so
// the listener is process-wide; set it before the JVM is created.
void SetVmExitListener(VmExitListener* listener);

// A java.lang.String holding exactly the UTF-16 units of `text`, or null.
jstring NewJavaString(JNIEnv* env, const std::u16string& text);

// Points System.out ("setOut") or System.err ("setErr") at the file.
bool RedirectStandardStream(JNIEnv* env, const std::u16string& path, bool append,
                            const char* setterName);

}  // namespace javelin
