#include "modes/stop_application.h"

#include "base/text.h"
#include "base/trace.h"

namespace javelin {

namespace {

void DescribePendingException(JNIEnv* env) {
  LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
  if (pending) env->ExceptionDescribe();
}

// The application's own stop(), or else System.exit(0).
StopOutcome AskToEnd(JNIEnv* env, const std::u16string& mainClass) {
  LocalRef<jclass> application(env, env->FindClass(ToJvmNarrow(mainClass).c_str()));
  if (!application) {
    DescribePendingException(env);
    Trace(u"stop request: main class " + Quoted(mainClass) + u" not found, nothing called");
    return StopOutcome::kNoClass;
  }
  jmethodID stop = env->GetStaticMethodID(application.get(), "stop", "()V");
  if (stop != nullptr) {
    Trace(u"stop request: calling stop()");
    env->CallStaticVoidMethod(application.get(), stop);
    DescribePendingException(env);
    return StopOutcome::kStopCalled;
  }
  // Normally the NoSuchMethodError of the lookup.
  DescribePendingException(env);
  LocalRef<jclass> system(env, env->FindClass("java/lang/System"));
  if (!system) return StopOutcome::kNoClass;
  jmethodID exit = env->GetStaticMethodID(system.get(), "exit", "(I)V");
  if (exit == nullptr) return StopOutcome::kNoClass;
  // Written first: a successful call never returns.
  Trace(u"stop request: no stop(), calling System.exit(0)");
  env->CallStaticVoidMethod(system.get(), exit, static_cast<jint>(0));
  DescribePendingException(env);
  return StopOutcome::kExitCalled;
}

}  // namespace

StopOutcome StopApplication(const AttachToJvm& attach, const std::u16string& mainClass,
                            bool neverDetach) {
  JNIEnv* env = nullptr;
  // A non-daemon thread: the JVM's destruction waits for the call to end.
  JavaVM* vm = attach ? attach(&env) : nullptr;
  if (vm == nullptr) return StopOutcome::kNoJvm;
  const StopOutcome outcome = AskToEnd(env, mainClass);
  if (!neverDetach) vm->DetachCurrentThread();
  return outcome;
}

}  // namespace javelin
