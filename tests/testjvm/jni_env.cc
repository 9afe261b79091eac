// The JNIEnv function table of the test JVM. Every slot the launcher has no
// business calling records the slot number and aborts.
#include <cstdlib>
#include <cstring>
#include <utility>

#include "test_jvm.h"

namespace testjvm {

namespace {

constexpr size_t kSlotCount = sizeof(JNINativeInterface_) / sizeof(void*);

template <size_t Slot>
void JNICALL Unexpected() {
  Log("unexpected-jni-call slot=" + std::to_string(Slot));
  fprintf(stderr, "testjvm: unexpected JNI call (function table slot %u)\n", static_cast<unsigned>(Slot));
  fflush(stderr);
  abort();
}

template <size_t... Slots>
void FillUnexpected(void** slots, std::index_sequence<Slots...>) {
  ((slots[Slots] = reinterpret_cast<void*>(&Unexpected<Slots>)), ...);
}

// A JNI call that runs Java code while an exception is pending is a bug of
// the caller; it is recorded so that tests can see it.
void NotePendingException(const char* function) {
  if (PendingException() != nullptr) Log(std::string("warning pending-exception ") + function);
}

Method* M(jmethodID method) { return reinterpret_cast<Method*>(method); }

jint JNICALL GetVersion(JNIEnv*) { return JNI_VERSION_1_8; }

jclass JNICALL FindClass(JNIEnv*, const char* name) {
  Log(std::string("findclass ") + name);
  if (!ClassExists(name)) {
    Throw("java/lang/NoClassDefFoundError", std::u16string(name, name + strlen(name)));
    return nullptr;
  }
  return reinterpret_cast<jclass>(ClassNamed(name));
}

jclass JNICALL GetObjectClass(JNIEnv*, jobject object) {
  return reinterpret_cast<jclass>(ClassNamed(O(object)->className));
}

jmethodID LookUp(jclass type, const char* name, const char* signature, bool isStatic) {
  const std::string& className = O(type)->className;
  if (isStatic) Log("getstatic " + className + "." + name + signature);
  if (MethodExists(className, name, signature, isStatic)) {
    return reinterpret_cast<jmethodID>(MethodOf(className, name, signature, isStatic));
  }
  const Control& control = CurrentControl();
  if (!(control.noMainQuiet && std::string(name) == "main")) {
    const std::string text = className + "." + name + signature;
    Throw("java/lang/NoSuchMethodError", std::u16string(text.begin(), text.end()));
  }
  return nullptr;
}

jmethodID JNICALL GetMethodID(JNIEnv*, jclass type, const char* name, const char* signature) {
  return LookUp(type, name, signature, false);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass type, const char* name, const char* signature) {
  return LookUp(type, name, signature, true);
}

jobject NewInstance(jmethodID method, const std::vector<jvalue>& arguments) {
  NotePendingException("NewObject");
  return J(Construct(M(method), arguments));
}

jobject JNICALL NewObject(JNIEnv*, jclass, jmethodID method, ...) {
  va_list arguments;
  va_start(arguments, method);
  const std::vector<jvalue> values = ArgumentsFromVaList(M(method), arguments);
  va_end(arguments);
  return NewInstance(method, values);
}

jobject JNICALL NewObjectV(JNIEnv*, jclass, jmethodID method, va_list arguments) {
  return NewInstance(method, ArgumentsFromVaList(M(method), arguments));
}

jobject JNICALL NewObjectA(JNIEnv*, jclass, jmethodID method, const jvalue* arguments) {
  return NewInstance(method, ArgumentsFromArray(M(method), arguments));
}

jvalue Call(Object* receiver, jmethodID method, const std::vector<jvalue>& arguments) {
  NotePendingException(M(method)->name.c_str());
  return Invoke(M(method), receiver, arguments);
}

// The Call<Type>Method families in their three argument forms.
#define TESTJVM_CALLS(Type, ResultType, field)                                                   \
  ResultType JNICALL Call##Type##Method(JNIEnv*, jobject receiver, jmethodID method, ...) {       \
    va_list arguments;                                                                           \
    va_start(arguments, method);                                                                 \
    const std::vector<jvalue> values = ArgumentsFromVaList(M(method), arguments);                \
    va_end(arguments);                                                                           \
    return static_cast<ResultType>(Call(O(receiver), method, values) field);                     \
  }                                                                                              \
  ResultType JNICALL Call##Type##MethodV(JNIEnv*, jobject receiver, jmethodID method,            \
                                         va_list arguments) {                                    \
    return static_cast<ResultType>(                                                              \
        Call(O(receiver), method, ArgumentsFromVaList(M(method), arguments)) field);             \
  }                                                                                              \
  ResultType JNICALL Call##Type##MethodA(JNIEnv*, jobject receiver, jmethodID method,            \
                                         const jvalue* arguments) {                              \
    return static_cast<ResultType>(                                                              \
        Call(O(receiver), method, ArgumentsFromArray(M(method), arguments)) field);              \
  }                                                                                              \
  ResultType JNICALL CallStatic##Type##Method(JNIEnv*, jclass, jmethodID method, ...) {          \
    va_list arguments;                                                                           \
    va_start(arguments, method);                                                                 \
    const std::vector<jvalue> values = ArgumentsFromVaList(M(method), arguments);                \
    va_end(arguments);                                                                           \
    return static_cast<ResultType>(Call(nullptr, method, values) field);                         \
  }                                                                                              \
  ResultType JNICALL CallStatic##Type##MethodV(JNIEnv*, jclass, jmethodID method,                \
                                               va_list arguments) {                              \
    return static_cast<ResultType>(Call(nullptr, method, ArgumentsFromVaList(M(method), arguments)) \
                                       field);                                                   \
  }                                                                                              \
  ResultType JNICALL CallStatic##Type##MethodA(JNIEnv*, jclass, jmethodID method,                \
                                               const jvalue* arguments) {                        \
    return static_cast<ResultType>(Call(nullptr, method, ArgumentsFromArray(M(method), arguments)) \
                                       field);                                                   \
  }

TESTJVM_CALLS(Object, jobject, .l)
TESTJVM_CALLS(Int, jint, .i)
TESTJVM_CALLS(Void, void, .l)
#undef TESTJVM_CALLS

jcharArray JNICALL NewCharArray(JNIEnv*, jsize length) {
  if (length < 0) {
    Throw("java/lang/NegativeArraySizeException", u"");
    return nullptr;
  }
  Object* array = NewObjectOf(Object::kCharArray, "[C");
  array->text.assign(static_cast<size_t>(length), u'\0');
  return reinterpret_cast<jcharArray>(array);
}

void JNICALL SetCharArrayRegion(JNIEnv*, jcharArray target, jsize start, jsize length, const jchar* units) {
  Object* array = O(target);
  if (start < 0 || length < 0 || static_cast<size_t>(start) + static_cast<size_t>(length) > array->text.size()) {
    Throw("java/lang/ArrayIndexOutOfBoundsException", u"");
    return;
  }
  for (jsize i = 0; i < length; ++i) array->text[static_cast<size_t>(start + i)] = static_cast<char16_t>(units[i]);
}

jsize JNICALL GetArrayLength(JNIEnv*, jarray array) {
  Object* object = O(array);
  return static_cast<jsize>(object->kind == Object::kCharArray ? object->text.size() : object->elements.size());
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass elementClass, jobject initial) {
  if (length < 0) {
    Throw("java/lang/NegativeArraySizeException", u"");
    return nullptr;
  }
  Object* array = NewObjectOf(Object::kObjectArray, "[L" + O(elementClass)->className + ";");
  array->elements.assign(static_cast<size_t>(length), O(initial));
  return reinterpret_cast<jobjectArray>(array);
}

jobject JNICALL GetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index) {
  Object* object = O(array);
  if (index < 0 || static_cast<size_t>(index) >= object->elements.size()) {
    Throw("java/lang/ArrayIndexOutOfBoundsException", u"");
    return nullptr;
  }
  return J(object->elements[static_cast<size_t>(index)]);
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
  Object* object = O(array);
  if (index < 0 || static_cast<size_t>(index) >= object->elements.size()) {
    Throw("java/lang/ArrayIndexOutOfBoundsException", u"");
    return;
  }
  object->elements[static_cast<size_t>(index)] = O(value);
}

// References are plain pointers into a heap that is never collected.
void JNICALL DeleteLocalRef(JNIEnv*, jobject) {}
jobject JNICALL NewGlobalRef(JNIEnv*, jobject object) { return object; }
void JNICALL DeleteGlobalRef(JNIEnv*, jobject) {}

jthrowable JNICALL ExceptionOccurred(JNIEnv*) { return reinterpret_cast<jthrowable>(PendingException()); }
jboolean JNICALL ExceptionCheck(JNIEnv*) { return PendingException() != nullptr ? JNI_TRUE : JNI_FALSE; }
void JNICALL ExceptionClear(JNIEnv*) { SetPendingException(nullptr); }

void JNICALL ExceptionDescribe(JNIEnv*) {
  Object* exception = PendingException();
  if (exception == nullptr) return;
  SetPendingException(nullptr);
  Log("describe " + exception->className);
  DescribeException(exception);
}

jint JNICALL ThrowObject(JNIEnv*, jthrowable exception) {
  SetPendingException(O(exception));
  return JNI_OK;
}

const char* JNICALL GetStringUTFChars(JNIEnv*, jstring string, jboolean* isCopy) {
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  if (CurrentControl().noUtf) {
    Throw("java/lang/OutOfMemoryError", u"");
    return nullptr;
  }
  const std::string bytes = ToModifiedUtf8(O(string)->text);
  char* copy = static_cast<char*>(malloc(bytes.size() + 1));
  memcpy(copy, bytes.c_str(), bytes.size() + 1);
  return copy;
}

void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char* characters) {
  Log("release-utf");
  free(const_cast<char*>(characters));
}

jsize JNICALL GetStringLength(JNIEnv*, jstring string) { return static_cast<jsize>(O(string)->text.size()); }

JNINativeInterface_ BuildTable() {
  JNINativeInterface_ table;
  FillUnexpected(reinterpret_cast<void**>(&table), std::make_index_sequence<kSlotCount>());
  table.GetVersion = GetVersion;
  table.FindClass = FindClass;
  table.GetObjectClass = GetObjectClass;
  table.GetMethodID = GetMethodID;
  table.GetStaticMethodID = GetStaticMethodID;
  table.NewObject = NewObject;
  table.NewObjectV = NewObjectV;
  table.NewObjectA = NewObjectA;
  table.CallObjectMethod = CallObjectMethod;
  table.CallObjectMethodV = CallObjectMethodV;
  table.CallObjectMethodA = CallObjectMethodA;
  table.CallIntMethod = CallIntMethod;
  table.CallIntMethodV = CallIntMethodV;
  table.CallIntMethodA = CallIntMethodA;
  table.CallVoidMethod = CallVoidMethod;
  table.CallVoidMethodV = CallVoidMethodV;
  table.CallVoidMethodA = CallVoidMethodA;
  table.CallStaticObjectMethod = CallStaticObjectMethod;
  table.CallStaticObjectMethodV = CallStaticObjectMethodV;
  table.CallStaticObjectMethodA = CallStaticObjectMethodA;
  table.CallStaticIntMethod = CallStaticIntMethod;
  table.CallStaticIntMethodV = CallStaticIntMethodV;
  table.CallStaticIntMethodA = CallStaticIntMethodA;
  table.CallStaticVoidMethod = CallStaticVoidMethod;
  table.CallStaticVoidMethodV = CallStaticVoidMethodV;
  table.CallStaticVoidMethodA = CallStaticVoidMethodA;
  table.NewCharArray = NewCharArray;
  table.SetCharArrayRegion = SetCharArrayRegion;
  table.GetArrayLength = GetArrayLength;
  table.NewObjectArray = NewObjectArray;
  table.GetObjectArrayElement = GetObjectArrayElement;
  table.SetObjectArrayElement = SetObjectArrayElement;
  table.DeleteLocalRef = DeleteLocalRef;
  table.NewGlobalRef = NewGlobalRef;
  table.DeleteGlobalRef = DeleteGlobalRef;
  table.ExceptionOccurred = ExceptionOccurred;
  table.ExceptionCheck = ExceptionCheck;
  table.ExceptionClear = ExceptionClear;
  table.ExceptionDescribe = ExceptionDescribe;
  table.Throw = ThrowObject;
  table.GetStringUTFChars = GetStringUTFChars;
  table.ReleaseStringUTFChars = ReleaseStringUTFChars;
  table.GetStringLength = GetStringLength;
  return table;
}

}  // namespace

const JNINativeInterface_* NativeInterface() {
  static const JNINativeInterface_ table = BuildTable();
  return &table;
}

}  // namespace testjvm
