// The JNI invocation API as the launcher uses it: the JDK's <jni.h> plus the
// types of the three entry points resolved from the JVM library.
#pragma once

#include <jni.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace javelin {

// Ordered option strings for JNI_CreateJavaVM, already in the JVM's narrow
// encoding (the thread's ANSI code page on Windows, UTF-8 elsewhere).
using JvmOptionList = std::vector<std::string>;

// The JDK 1.1 initialisation block that JNI_GetDefaultJavaVMInitArgs fills
// when its version is JNI_VERSION_1_1 (no longer declared by <jni.h>).
struct JDK1_1InitArgs {
  jint version;
  char** properties;
  jint checkSource;
  jint nativeStackSize;
  jint javaStackSize;
  jint minHeapSize;
  jint maxHeapSize;
  jint verifyMode;
  char* classpath;
  jint(JNICALL* vfprintf)(FILE* fp, const char* format, va_list args);
  void(JNICALL* exit)(jint code);
  void(JNICALL* abort)(void);
  jint enableClassGC;
  jint enableVerboseGC;
  jint disableAsyncGC;
  jint verbose;
  jboolean debugging;
  jint debugPort;
};

// The hooks passed as the extraInfo of the "exit" and "abort" options.
using VmExitHook = void(JNICALL*)(jint code);
using VmAbortHook = void(JNICALL*)(void);

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

// Deletes a JNI local reference when it goes out of scope, so that long-lived
// threads (the JVM thread runs until main returns) do not pile them up.
template <typename T>
class LocalRef {
 public:
  LocalRef(JNIEnv* env, T ref) : env_(env), ref_(ref) {}
  ~LocalRef() {
    if (ref_ != nullptr) env_->DeleteLocalRef(ref_);
  }
  LocalRef(const LocalRef&) = delete;
  LocalRef& operator=(const LocalRef&) = delete;

  T get() const { return ref_; }
  // Hands the reference to the caller, who then owns it.
  T release() {
    T ref = ref_;
    ref_ = nullptr;
    return ref;
  }
  explicit operator bool() const { return ref_ != nullptr; }

 private:
  JNIEnv* env_;
  T ref_;
};

}  // namespace javelin
