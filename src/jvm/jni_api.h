// The JNI invocation API as the launcher uses it: the JDK's <jni.h> plus the
// types of the three entry points resolved from the JVM library.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

namespace javelin {

// Ordered option strings for JNI_CreateJavaVM, already in the JVM's narrow
// encoding (the thread's ANSI code page on Windows, UTF-8 elsewhere).
using JvmOptionList = std::vector<std::string>;

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);
using GetDefaultJavaVmInitArgsFunction = jint(JNICALL*)(void*);
using FindClassFromBootLoaderFunction = jclass(JNICALL*)(JNIEnv*, const char*);

// Receiver of the JVM's exit and abort hooks (the service host in service
// mode).
class VmExitListener {
 public:
  virtual ~VmExitListener() = default;
  virtual void OnVmExit(int32_t code) = 0;
  virtual void OnVmAbort() = 0;
};

}  // namespace javelin
