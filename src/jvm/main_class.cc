#include "jvm/main_class.h"

#include "base/error_reporter.h"
#include "base/message_table.h"
#include "jvm/failure_check.h"
#include "jvm/java_vm_host.h"
#include "jvm/thread_wait.h"

namespace javelin {

namespace {

// Drops an exception left by the lookup of an optional helper: its absence
// only means the plain class lookup is used.
void ClearPendingException(JNIEnv* env) {
  LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
  if (pending) env->ExceptionClear();
}

// The JDK's own launcher helper loads the class through the application
// class loader and checks it for a main method; on failure it prints the
// reason and ends the process itself.
jclass LoadThroughLauncherHelper(JNIEnv* env, const std::u16string& mainClassName,
                                 FindClassFromBootLoaderFunction findClassFromBootLoader) {
  if (findClassFromBootLoader == nullptr) return nullptr;
  LocalRef<jclass> helper(env, findClassFromBootLoader(env, "sun/launcher/LauncherHelper"));
  if (!helper) {
    ClearPendingException(env);
    return nullptr;
  }
  jmethodID checkAndLoadMain = env->GetStaticMethodID(helper.get(), "checkAndLoadMain",
                                                      "(ZILjava/lang/String;)Ljava/lang/Class;");
  if (checkAndLoadMain == nullptr) {
    ClearPendingException(env);
    return nullptr;
  }
  LocalRef<jstring> name(env, NewJavaString(env, ReplaceAll(mainClassName, u'/', u'.')));
  if (!name) {
    ClearPendingException(env);
    return nullptr;
  }
  // true: print errors to the error stream; 1: the name is a class name.
  jclass mainClass = static_cast<jclass>(env->CallStaticObjectMethod(
      helper.get(), checkAndLoadMain, JNI_TRUE, static_cast<jint>(1), name.get()));
  if (mainClass == nullptr) {
    LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
    if (pending) env->ExceptionDescribe();
  }
  return mainClass;
}

// The plain JNI class lookup, with the name in slash form.
jclass LoadThroughFindClass(JNIEnv* env, const std::u16string& mainClassName) {
  LocalRef<jstring> name(env, NewJavaString(env, mainClassName));
  if (!name) {
    ReportFormatted(LoadMessage(kMsgCannotLoadMainClass), mainClassName);
    return nullptr;
  }
  const char* characters = env->GetStringUTFChars(name.get(), nullptr);
  if (characters == nullptr) {
    env->ExceptionDescribe();
    return nullptr;
  }
  jclass mainClass = env->FindClass(characters);
  if (mainClass == nullptr) {
    env->ExceptionDescribe();
    ReportFormatted(LoadMessage(kMsgMainClassNotFound), FromModifiedUtf8(characters));
  }
  env->ReleaseStringUTFChars(name.get(), characters);
  return mainClass;
}

// Calls main once the class is loaded; false after a reported failure. The
// thread is still attached afterwards.
bool CallMainMethod(JvmSession& session, const MainInvocation& invocation,
                    const TextList& argumentList) {
  JNIEnv* env = session.env();
  LocalRef<jclass> mainClass(
      env, LoadMainClass(env, invocation.mainClass, session.entryPoints().findClassFromBootLoader));
  if (!mainClass) return false;

  jmethodID mainMethod = env->GetStaticMethodID(mainClass.get(), "main", "([Ljava/lang/String;)V");
  if (mainMethod == nullptr) {
    LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
    if (pending) {
      env->ExceptionDescribe();
    } else {
      ReportMessage(LoadMessage(kMsgNoMainMethod));
    }
    return false;
  }

  LocalRef<jobjectArray> arguments(env, NewJavaStringArray(env, argumentList));
  if (!arguments) {
    env->ExceptionDescribe();
    return false;
  }

  // From here on forwarded single-instance calls may run.
  if (invocation.onMainStarting) invocation.onMainStarting();

  // Returns when main returns or throws.
  env->CallStaticVoidMethod(mainClass.get(), mainMethod, arguments.get());

  // An exception thrown out of main stays pending: the JVM reports it as
  // uncaught when the thread detaches, and it does not change the result.
  LocalRef<jthrowable> thrown(env, env->ExceptionOccurred());
  if (thrown && invocation.failureCheck) {
    // The stack trace is rendered with the exception set aside, then the
    // exception is made pending again. The text is not used.
    env->ExceptionClear();
    RenderStackTrace(env, thrown.get());
    env->Throw(thrown.get());
  }
  return true;
}

}  // namespace

jclass LoadMainClass(JNIEnv* env, const std::u16string& mainClass,
                     FindClassFromBootLoaderFunction findClassFromBootLoader) {
  jclass loaded = LoadThroughLauncherHelper(env, mainClass, findClassFromBootLoader);
  if (loaded != nullptr) return loaded;
  return LoadThroughFindClass(env, mainClass);
}

jobjectArray NewJavaStringArray(JNIEnv* env, const TextList& list) {
  LocalRef<jclass> stringClass(env, env->FindClass("java/lang/String"));
  if (!stringClass) return nullptr;
  LocalRef<jobjectArray> array(
      env, env->NewObjectArray(static_cast<jsize>(list.size()), stringClass.get(), nullptr));
  if (!array) return nullptr;
  for (size_t i = 0; i < list.size(); ++i) {
    LocalRef<jstring> element(env, NewJavaString(env, list[i]));
    if (!element) return nullptr;
    env->SetObjectArrayElement(array.get(), static_cast<jsize>(i), element.get());
  }
  return array.release();
}

bool InvokeMainClass(JvmSession& session, const MainInvocation& invocation,
                     const TextList& arguments) {
  const bool called = CallMainMethod(session, invocation, arguments);
  if (called && invocation.neverDetach) SleepForever();
  // Detaching on every road: a JVM whose creating thread is gone but still
  // attached can never be destroyed, and the teardown would wait for ever.
  const jint detached = session.vm()->DetachCurrentThread();
  return called && detached == JNI_OK;
}

uint32_t JavaMainThread(JvmSession& session, const LaunchPlan& plan,
                        const MainInvocation& invocation) {
  if (!session.Create(plan)) return 1;
  if (!InvokeMainClass(session, invocation, plan.arguments)) return 1;
  if (invocation.destroyAfterMain) session.Destroy();
  return 0;
}

}  // namespace javelin
