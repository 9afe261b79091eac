#include "modes/stop_application.h"

#include "base/text.h"

namespace javelin {

namespace {

void DescribePendingException(JNIEnv* env) {
  LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
  if (pending) env->ExceptionDescribe();
}

// The application's own stop(), or else System.exit(0).
void AskToEnd(JNIEnv* env, const std::u16string& mainClass) {
  LocalRef<jclass> application(env, env->FindClass(ToJvmNarrow(mainClass).c_str()));
  if (!application) {
    DescribePendingException(env);
    return;
  }
  jmethodID stop = env->GetStaticMethodID(application.get(), "stop", "()V");
  if (stop != nullptr) {
    env->CallStaticVoidMethod(application.get(), stop);
    DescribePendingException(env);
    return;
  }
  // Normally the NoSuchMethodError of the lookup.
  DescribePendingException(env);
  LocalRef<jclass> system(env, env->FindClass("java/lang/System"));
  if (!system) return;
  jmethodID exit = env->GetStaticMethodID(system.get(), "exit", "(I)V");
  if (exit == nullptr) return;
  env->CallStaticVoidMethod(system.get(), exit, static_cast<jint>(0));
  DescribePendingException(env);
}

}  // namespace

void StopApplication(JavaVM* vm, const std::u16string& mainClass, bool neverDetach) {
  if (vm == nullptr) return;
  JNIEnv* env = nullptr;
  // A non-daemon thread: the JVM's destruction waits for the call to end.
  if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK || env == nullptr) return;
  AskToEnd(env, mainClass);
  if (!neverDetach) vm->DetachCurrentThread();
}

}  // namespace javelin
