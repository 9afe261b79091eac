#include "jvm/java_vm_host.h"

#include <vector>

#include "base/error_reporter.h"
#include "base/file_system.h"
#include "base/message_table.h"
#include "base/text.h"
#include "base/trace.h"
#include "jvm/dynamic_library.h"
#include "jvm/library_load_error.h"
#include "jvm/process_stream.h"
#include "jvm/thread_wait.h"
#include "jvm/timestamp.h"

namespace javelin {

namespace {

// How long Destroy waits for an attach that raced with DestroyJavaVM's end.
constexpr uint32_t kAttachReturnWaitMs = 2000;

// The JVM calls the hooks without any context, so they reach the listener
// through this process-wide pointer.
std::atomic<VmExitListener*> vmExitListener{nullptr};

void JNICALL ExitHook(jint code) {
  // The process ends right after the hook: nothing of the launcher's own
  // ending runs, so the code is traced here.
  Trace(u"exit code " + ToDecimal(static_cast<int32_t>(code)) + u" (System.exit)");
  if (VmExitListener* listener = vmExitListener.load())
    listener->OnVmExit(static_cast<int32_t>(code));
}

void JNICALL AbortHook() {
  if (VmExitListener* listener = vmExitListener.load()) listener->OnVmAbort();
}

// home/bin/server/jvm.dll gives home/bin: the folder that holds the
// runtime's own libraries. Without separators the text stays whole.
std::u16string RuntimeLibraryDirectory(const std::u16string& libraryPath) {
  std::u16string directory = libraryPath;
  for (int cut = 0; cut < 2; ++cut) {
    const size_t last = directory.rfind(kPathSeparator);
    if (last != std::u16string::npos) directory.resize(last);
  }
  return directory;
}

// Describes (and so clears) an exception left by a failed redirection.
void DescribePendingException(JNIEnv* env) {
  jthrowable pending = env->ExceptionOccurred();
  if (pending == nullptr) return;
  env->ExceptionDescribe();
  env->DeleteLocalRef(pending);
}

// Points System.out or System.err and the process's own standard stream at
// the file, so that what the JVM writes natively (an uncaught exception's
// first words, its warnings) lands there too, in order. The native open
// creates or truncates the file; the Java stream then appends to it, so
// both write at the file's end and never over each other. A redirection
// that fails leaves both streams as they were.
void RedirectBothStreams(JNIEnv* env, const std::u16string& path, bool append,
                         ProcessStream stream) {
  CreateParentDirectories(path);
  ProcessStreamFile file(path, append);
  const char* setter = stream == ProcessStream::kOutput ? "setOut" : "setErr";
  if (!RedirectStandardStream(env, path, file.valid() || append, setter)) {
    DescribePendingException(env);
    return;
  }
  file.Install(stream);
}

}  // namespace

void SetVmExitListener(VmExitListener* listener) { vmExitListener.store(listener); }

Result<JvmEntryPoints> LoadJvmLibrary(const std::u16string& path) {
  AddLibraryDirectory(RuntimeLibraryDirectory(path));

  LibraryLoadError loadError;
  void* library = LoadDynamicLibrary(path, loadError);
  if (library == nullptr) {
    return Failure{kMsgCannotLoadJvmLibrary, loadError.code,
                   FormatLibraryLoadMessage(path, loadError)};
  }

  JvmEntryPoints entryPoints;
  entryPoints.createJavaVm =
      reinterpret_cast<CreateJavaVmFunction>(FindLibrarySymbol(library, "JNI_CreateJavaVM"));
  if (entryPoints.createJavaVm == nullptr)
    return SystemErrorFailure(kMsgNoCreateJavaVm, LastErrorCode());
  entryPoints.getDefaultJavaVmInitArgs = reinterpret_cast<GetDefaultJavaVmInitArgsFunction>(
      FindLibrarySymbol(library, "JNI_GetDefaultJavaVMInitArgs"));
  if (entryPoints.getDefaultJavaVmInitArgs == nullptr) {
    return SystemErrorFailure(kMsgNoCreateJavaVm, LastErrorCode());
  }
  entryPoints.findClassFromBootLoader = reinterpret_cast<FindClassFromBootLoaderFunction>(
      FindLibrarySymbol(library, "JVM_FindClassFromBootLoader"));
  return entryPoints;
}

JvmSession::JvmSession(const JvmEntryPoints& entryPoints) : entryPoints_(entryPoints) {}

JvmSession::~JvmSession() { Destroy(); }

void JvmSession::Destroy() {
  JavaVM* vm = vm_.load();
  if (vm == nullptr || destroyStarted_.exchange(true)) return;
  vm->DestroyJavaVM();
  vm_.store(nullptr);
  // An attach that read the pointer just before it was cleared is the JVM's
  // to answer (it refuses or it blocks); give it time to come back before
  // the session may go, but never wait for ever on a JVM that has ended.
  for (uint32_t waited = 0; attaching_.load() > 0 && waited < kAttachReturnWaitMs; waited += 10) {
    SleepMilliseconds(10);
  }
}

JavaVM* JvmSession::AttachCurrentThread(JNIEnv** env) {
  // Counted before the pointer is read: Destroy clears the pointer first and
  // then looks at the count, so it sees every call that could still use it.
  ++attaching_;
  JavaVM* vm = vm_.load();
  *env = nullptr;
  if (vm != nullptr && (vm->AttachCurrentThread(reinterpret_cast<void**>(env), nullptr) != JNI_OK ||
                        *env == nullptr)) {
    vm = nullptr;
  }
  --attaching_;
  return vm;
}

bool JvmSession::Create(const LaunchPlan& plan) {
  std::vector<JavaVMOption> options;
  options.reserve(plan.options.size() + 3);
  for (const std::string& option : plan.options) {
    options.push_back(JavaVMOption{const_cast<char*>(option.c_str()), nullptr});
  }
  char abortName[] = "abort";
  char exitName[] = "exit";
  options.push_back(JavaVMOption{abortName, reinterpret_cast<void*>(&AbortHook)});
  options.push_back(JavaVMOption{exitName, reinterpret_cast<void*>(&ExitHook)});
  char vfprintfName[] = "vfprintf";
  if (plan.vmOutputFilter != nullptr) {
    options.push_back(JavaVMOption{vfprintfName, reinterpret_cast<void*>(plan.vmOutputFilter)});
  }

  JavaVMInitArgs arguments;
  arguments.version = JNI_VERSION_1_2;
  arguments.nOptions = static_cast<jint>(options.size());
  arguments.options = options.data();
  // An option the JVM does not know makes the creation fail.
  arguments.ignoreUnrecognized = JNI_FALSE;

  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  const jint result = entryPoints_.createJavaVm(&vm, reinterpret_cast<void**>(&env), &arguments);
  if (result != JNI_OK) {
    ReportJniError(kMsgCannotCreateJvm, static_cast<int32_t>(result));
    return false;
  }
  env_ = env;
  vm_.store(vm);

  std::u16string outputFile = plan.outputFile;
  std::u16string errorFile = plan.errorFile;
  const bool outputHasPicture = outputFile.find(u'%') != std::u16string::npos;
  const bool errorHasPicture = errorFile.find(u'%') != std::u16string::npos;
  if (outputHasPicture || errorHasPicture) {
    // One instant for both names.
    const LocalTime now = CurrentLocalTime();
    if (outputHasPicture) outputFile = ExpandTimestamp(outputFile, now);
    if (errorHasPicture) errorFile = ExpandTimestamp(errorFile, now);
  }
  if (!outputFile.empty())
    RedirectBothStreams(env, outputFile, plan.outputAppend, ProcessStream::kOutput);
  if (!errorFile.empty())
    RedirectBothStreams(env, errorFile, plan.errorAppend, ProcessStream::kError);
  return true;
}

uint32_t JvmSession::DefaultThreadStackSize() const {
  if (entryPoints_.getDefaultJavaVmInitArgs == nullptr) return 0;
  JDK1_1InitArgs arguments{};
  arguments.version = JNI_VERSION_1_1;
  entryPoints_.getDefaultJavaVmInitArgs(&arguments);
  return arguments.javaStackSize > 0 ? static_cast<uint32_t>(arguments.javaStackSize) : 0;
}

jstring NewJavaString(JNIEnv* env, const std::u16string& text) {
  LocalRef<jclass> stringClass(env, env->FindClass("java/lang/String"));
  if (!stringClass) return nullptr;
  jmethodID constructor = env->GetMethodID(stringClass.get(), "<init>", "([C)V");
  if (constructor == nullptr) return nullptr;
  const jsize length = static_cast<jsize>(text.size());
  LocalRef<jcharArray> characters(env, env->NewCharArray(length));
  if (!characters) return nullptr;
  // Java's char is a UTF-16 code unit: the text goes over unconverted.
  env->SetCharArrayRegion(characters.get(), 0, length, reinterpret_cast<const jchar*>(text.data()));
  LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
  if (pending) return nullptr;
  return static_cast<jstring>(env->NewObject(stringClass.get(), constructor, characters.get()));
}

bool RedirectStandardStream(JNIEnv* env, const std::u16string& path, bool append,
                            const char* setterName) {
  CreateParentDirectories(path);
  LocalRef<jstring> javaPath(env, NewJavaString(env, path));
  if (!javaPath) return false;

  LocalRef<jclass> fileClass(env, env->FindClass("java/io/FileOutputStream"));
  if (!fileClass) return false;
  jmethodID fileConstructor = env->GetMethodID(fileClass.get(), "<init>", "(Ljava/lang/String;Z)V");
  if (fileConstructor == nullptr) return false;
  // Opening creates the file, truncating it unless appending.
  LocalRef<jobject> fileStream(
      env, env->NewObject(fileClass.get(), fileConstructor, javaPath.get(),
                          static_cast<jboolean>(append ? JNI_TRUE : JNI_FALSE)));
  if (!fileStream) return false;

  LocalRef<jclass> printClass(env, env->FindClass("java/io/PrintStream"));
  if (!printClass) return false;
  jmethodID printConstructor =
      env->GetMethodID(printClass.get(), "<init>", "(Ljava/io/OutputStream;)V");
  if (printConstructor == nullptr) return false;
  LocalRef<jobject> printStream(
      env, env->NewObject(printClass.get(), printConstructor, fileStream.get()));
  if (!printStream) return false;

  LocalRef<jclass> systemClass(env, env->FindClass("java/lang/System"));
  if (!systemClass) return false;
  jmethodID setter =
      env->GetStaticMethodID(systemClass.get(), setterName, "(Ljava/io/PrintStream;)V");
  if (setter == nullptr) return false;
  env->CallStaticVoidMethod(systemClass.get(), setter, printStream.get());
  LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
  if (pending) {
    env->ExceptionDescribe();
    return false;
  }
  return true;
}

}  // namespace javelin
