// Loading the main class and calling its main method on the JVM thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/text.h"
#include "jvm/java_vm_host.h"
#include "jvm/jni_api.h"
#include "jvm/launch_plan.h"

namespace javelin {

// How main is called and what happens around it.
struct MainInvocation {
  std::u16string mainClass;   // slash form
  bool failureCheck = false;  // "Failure Check": render the stack trace of an exception out of main
  // "VM Provider" "ibm" or "favor_ibm": after main the JVM thread sleeps for
  // ever instead of detaching.
  bool neverDetach = false;
  // Service mode: the JVM is destroyed as soon as main returns.
  bool destroyAfterMain = false;
  // Called on the JVM thread right before main (single-instance requests may
  // be served from then on); may be empty.
  std::function<void()> onMainStarting;
};

// The main class through the JDK's launcher helper (when the library has the
// boot-loader lookup), else through FindClass; null after a reported failure.
jclass LoadMainClass(JNIEnv* env, const std::u16string& mainClass,
                     FindClassFromBootLoaderFunction findClassFromBootLoader);
jobjectArray NewJavaStringArray(JNIEnv* env, const TextList& list);

// Loads the main class and calls main with `arguments` on the thread that
// created the JVM, then detaches that thread on every road. False after a
// reported failure.
bool InvokeMainClass(JvmSession& session, const MainInvocation& invocation,
                     const TextList& arguments);

// The JVM thread's body: creates the JVM from the plan and invokes the main
// class. 0 on success, 1 on failure.
uint32_t JavaMainThread(JvmSession& session, const LaunchPlan& plan,
                        const MainInvocation& invocation);

}  // namespace javelin
