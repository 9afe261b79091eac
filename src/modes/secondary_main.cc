#include "modes/secondary_main.h"

#include "jvm/main_class.h"

namespace javelin {

namespace {

bool ExceptionPending(JNIEnv* env) {
  LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
  return static_cast<bool>(pending);
}

// The lookup and the call, on an attached thread.
void CallSecondaryMain(JNIEnv* env, const SecondaryMainTarget& target, const TextList& arguments,
                       const SecondaryMainReply& reply) {
  LocalRef<jclass> mainClass(env, env->FindClass(ToJvmNarrow(target.mainClass).c_str()));
  if (!mainClass) return;

  bool returnsInt = false;
  jmethodID method =
      env->GetStaticMethodID(mainClass.get(), "secondaryMain", "([Ljava/lang/String;)V");
  if (ExceptionPending(env)) env->ExceptionClear();
  if (method == nullptr) {
    method = env->GetStaticMethodID(mainClass.get(), "secondaryMain", "([Ljava/lang/String;)I");
    returnsInt = true;
  }
  if (method == nullptr) {
    env->ExceptionDescribe();
    return;
  }

  LocalRef<jobjectArray> array(env, NewJavaStringArray(env, arguments));
  if (!array) {
    if (ExceptionPending(env)) env->ExceptionDescribe();
    return;
  }

  if (returnsInt) {
    const jint result = env->CallStaticIntMethod(mainClass.get(), method, array.get());
    // A method that threw returned no result: the second start fails
    // instead of reporting success.
    const bool threw = ExceptionPending(env);
    if (threw) env->ExceptionDescribe();
    reply(threw ? -1 : static_cast<int32_t>(result));
    return;
  }
  // The second instance may end as soon as the call begins.
  reply(0);
  env->CallStaticVoidMethod(mainClass.get(), method, array.get());
  if (ExceptionPending(env)) env->ExceptionDescribe();
}

}  // namespace

void DeliverToSecondaryMain(JavaVM* vm, const SecondaryMainTarget& target,
                            const TextList& arguments, const SecondaryMainReply& reply) {
  if (vm == nullptr) return;
  JNIEnv* env = nullptr;
  if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK || env == nullptr)
    return;
  CallSecondaryMain(env, target, arguments, reply);
  if (target.detachAfterCall) vm->DetachCurrentThread();
}

}  // namespace javelin
