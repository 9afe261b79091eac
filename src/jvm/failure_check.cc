#include "jvm/failure_check.h"

#include "base/text.h"

namespace javelin {

namespace {

void DescribePendingException(JNIEnv* env) {
  LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
  if (pending) env->ExceptionDescribe();
}

}  // namespace

std::u16string RenderStackTrace(JNIEnv* env, jthrowable exception) {
  // A failed lookup leaves its own exception behind; it is dropped, as the
  // rendering then simply yields nothing.
  struct ClearOnFailure {
    JNIEnv* env;
    bool done = false;
    ~ClearOnFailure() {
      if (!done) env->ExceptionClear();
    }
  } guard{env};

  LocalRef<jclass> byteStreamClass(env, env->FindClass("java/io/ByteArrayOutputStream"));
  if (!byteStreamClass) return {};
  jmethodID byteStreamConstructor = env->GetMethodID(byteStreamClass.get(), "<init>", "()V");
  if (byteStreamConstructor == nullptr) return {};
  LocalRef<jobject> byteStream(env, env->NewObject(byteStreamClass.get(), byteStreamConstructor));
  if (!byteStream) return {};

  LocalRef<jclass> printClass(env, env->FindClass("java/io/PrintStream"));
  if (!printClass) return {};
  jmethodID printConstructor =
      env->GetMethodID(printClass.get(), "<init>", "(Ljava/io/OutputStream;)V");
  if (printConstructor == nullptr) return {};
  LocalRef<jobject> printStream(
      env, env->NewObject(printClass.get(), printConstructor, byteStream.get()));
  if (!printStream) return {};

  LocalRef<jclass> exceptionClass(env, env->GetObjectClass(exception));
  if (!exceptionClass) return {};
  jmethodID printStackTrace =
      env->GetMethodID(exceptionClass.get(), "printStackTrace", "(Ljava/io/PrintStream;)V");
  if (printStackTrace == nullptr) return {};
  env->CallVoidMethod(exception, printStackTrace, printStream.get());
  DescribePendingException(env);

  jmethodID toString = env->GetMethodID(byteStreamClass.get(), "toString", "()Ljava/lang/String;");
  if (toString == nullptr) return {};
  LocalRef<jstring> text(env,
                         static_cast<jstring>(env->CallObjectMethod(byteStream.get(), toString)));
  DescribePendingException(env);
  if (!text) return {};

  const char* characters = env->GetStringUTFChars(text.get(), nullptr);
  if (characters == nullptr) return {};
  std::u16string rendered = FromModifiedUtf8(characters);
  env->ReleaseStringUTFChars(text.get(), characters);
  guard.done = true;
  return rendered;
}

}  // namespace javelin
