// Asking the running Java application to end, from a thread of its own.
#pragma once

#include <string>

#include "jvm/jni_api.h"

namespace javelin {

// Attaches the calling thread to `vm` and calls the static stop() of
// `mainClass` (slash form); when the class has no such method, the failed
// lookup is described and System.exit(0) is called instead. Java exceptions
// are described by the JVM. The thread detaches at the end unless
// `neverDetach` is set (the IBM runtimes). Does nothing without a JVM or
// when the thread cannot attach.
void StopApplication(JavaVM* vm, const std::u16string& mainClass, bool neverDetach);

}  // namespace javelin
