// Loading the main class and calling its main method on the JVM thread.
#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"
#include "jvm/jni_api.h"

namespace javelin {

class Launcher;

jclass LoadMainClass(Launcher& launcher);
jobjectArray NewJavaStringArray(JNIEnv* env, const TextList& list);
bool InvokeMainClass(Launcher& launcher);

// The JVM thread's body: creates the JVM and invokes the main class.
// 0 on success, 1 on failure.
uint32_t JavaMainThread(Launcher* launcher);

}  // namespace javelin
