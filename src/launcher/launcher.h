// The one object per process that holds everything the launcher knows and
// owns during a run. All settings are its fields; the stages read and write
// them directly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/text.h"
#include "jre/version.h"
#include "jvm/jni_api.h"
#include "modes/single_instance.h"

namespace javelin {

class Launcher {
 public:
  // Sets every field to its default and registers this object as the
  // process-wide launcher that the JVM hooks reach.
  Launcher();
  // Teardown: destroys a JVM that still exists (waiting for the
  // application's non-daemon threads), releases the single-instance objects
  // and the main-started event.
  ~Launcher();
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  // Command line, settings, single-instance role, working directory and the
  // Java runtime search. False when the launch cannot go on.
  bool Initialize();
  // Hand-over to the pair launcher, waiting as a second instance, or the
  // normal launch. Returns the process exit code.
  int Run();

  // The process-wide launcher (set by the constructor, never cleared).
  static Launcher* Current();

  VmExitListener* vmExitListener = nullptr;
  int32_t jvmType = 0;
  std::u16string jvmLibraryPath;
  JavaVM* javaVm = nullptr;
  JNIEnv* jniEnv = nullptr;
  std::u16string mainClass;
  VersionNumber selectedVersion;
  VersionNumber minimumVersion;
  VersionNumber maximumVersion;
  TextList arguments;
  bool serviceMode = false;
  bool omitServiceName = false;
  bool jdkPreferred = false;
  bool jrePreferred = false;
  bool bothKindsAllowed = true;
  bool jrockitAllowed = false;
  bool sunAllowed = true;
  bool ibmAllowed = false;
  bool jrockitPreferred = false;
  bool sunPreferred = true;
  bool ibmPreferred = false;
  std::u16string productName;
  std::u16string productCode;
  JvmOptionList jvmOptions;
  TextList preferredVersions;
  std::u16string jrePath;
  std::u16string libraryPath;
  std::u16string outputFile;
  std::u16string errorFile;
  bool outputAppend = false;
  bool errorAppend = false;
  std::u16string systemPath;
  std::u16string cmd;
  std::u16string pairProduct;
  bool pairReturnCode = false;
  bool failureCheck = false;
  bool overrideWorkingDir = false;
  uint32_t threadStackSize = 0;
  bool handOverToPair = false;
  CreateJavaVmFunction createJavaVm = nullptr;
  GetDefaultJavaVmInitArgsFunction getDefaultJavaVmInitArgs = nullptr;
  FindClassFromBootLoaderFunction findClassFromBootLoader = nullptr;
  // Single-instance mode with this process's role; null when the mode is
  // not configured or in service mode.
  std::unique_ptr<InstanceGuard> instanceGuard;

  // JVM kinds of the "JVM Type" setting.
  static constexpr int32_t kJvmTypeAny = 0;
  static constexpr int32_t kJvmTypeServer = 1;
  static constexpr int32_t kJvmTypeFavorServer = 2;
};

}  // namespace javelin
