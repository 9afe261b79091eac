// Asking the running Java application to end, from a thread of its own.
#pragma once

#include <functional>
#include <string>

#include "jvm/jni_api.h"

namespace javelin {

// Attaches the calling thread to the application's JVM and returns it with
// the thread's environment, or returns null when there is no JVM to attach
// to (JvmSession::AttachCurrentThread).
using AttachToJvm = std::function<JavaVM*(JNIEnv** env)>;

// What a stop request did.
enum class StopOutcome {
  kNoJvm,       // no JVM (not yet, or no more), or the thread could not attach
  kStopCalled,  // the main class's stop() was called and has returned
  kExitCalled,  // no stop(): System.exit(0) was called and did not end the process
  kNoClass,     // the main class could not be found: nothing was called
};

// Attaches the calling thread through `attach` and calls the static stop()
// of `mainClass` (slash form); when the class has no such method, the failed
// lookup is described and System.exit(0) is called instead. Java exceptions
// are described by the JVM; the trace names the call before it is made. The
// thread detaches at the end unless `neverDetach` is set (the IBM
// runtimes).
StopOutcome StopApplication(const AttachToJvm& attach, const std::u16string& mainClass,
                            bool neverDetach);

}  // namespace javelin
