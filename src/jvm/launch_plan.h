// Everything the JVM thread needs to create the JVM and call main, as one
// value: the complete option list, the output redirections, main's arguments
// and the thread's stack size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/process_context.h"
#include "base/text.h"
#include "config/settings.h"
#include "jvm/jni_api.h"
#include "jvm/startup_cache.h"
#include "jvm/vm_output_filter.h"
#include "jvm/vm_parameters.h"

namespace javelin {

struct LaunchPlan {
  // The options for JNI_CreateJavaVM in order, in the JVM's narrow encoding.
  JvmOptionList options;
  // System.out and System.err go to these files when they are not empty
  // (environment references expanded, date-time pictures not yet).
  std::u16string outputFile;
  bool outputAppend = false;
  std::u16string errorFile;
  bool errorAppend = false;
  // main's String[].
  TextList arguments;
  // Set by a "-Xss" VM parameter; 0 when none is configured.
  uint32_t threadStackSize = 0;
  // The startup cache of this launch ("Startup Cache"); its options follow
  // the VM parameters.
  StartupCachePlan startupCache;
  // When set, the JVM's console output passes through this "vfprintf" hook
  // (a recording start of the startup cache).
  VmOutputHook vmOutputFilter = nullptr;
};

// Where the startup cache of a launch lives and which runtime it is for.
struct StartupCacheTarget {
  std::u16string folder;  // per user and application
  std::u16string jvmLibraryPath;
  int featureVersion = 0;  // 0 when unknown
};

// Assembles the plan from the run options after PrepareJvmEnvironment has
// set up the environment that the options may refer to:
// `libraryPathOption` (when not empty), "-Djava.class.path=" with the class
// path (and the launcher itself first for "Embedded Jar"), the VM
// parameters, the startup cache's options when the run asks for the cache
// and a `cache` target is given; the output and error files; `arguments`
// followed by the "Cmd" arguments. When the class path is empty, message 209
// is reported and the plan holds only the library path option and
// `arguments`.
LaunchPlan BuildLaunchPlan(const RunOptions& run, const ProcessContext& context, TextList arguments,
                           const std::u16string& libraryPathOption,
                           const std::optional<StartupCacheTarget>& cache = std::nullopt,
                           MemoryFigures (*readFigures)() = ReadMemoryFigures);

}  // namespace javelin
