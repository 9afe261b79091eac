// The JNIEnv function table of the test JVM with the Java behaviour of the
// few classes the launcher uses. Every slot the launcher has no business
// calling aborts with its number.
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "test_jvm.h"

namespace testjvm {

namespace {

// An object of the emulated heap, never freed: the process is short.
struct Object {
  std::string className;          // the object's class, or a class's own name
  std::u16string text;            // String, char[] or exception message
  std::vector<Object*> elements;  // Object[]
  FILE* file = nullptr;           // FileOutputStream
  Object* target = nullptr;       // PrintStream: its FileOutputStream
};

std::deque<Object> heap;
std::deque<std::string> methods;  // "class.name(signature)", one per method ID
std::map<std::string, Object*> classes;
Object* systemOut = nullptr;
Object* systemErr = nullptr;
thread_local Object* pending = nullptr;
// Forwarded calls run on threads of their own beside main.
std::recursive_mutex heapLock;

const char* const kKnownMethods[] = {
    "java/lang/String.<init>([C)V",
    "java/io/FileOutputStream.<init>(Ljava/lang/String;Z)V",
    "java/io/PrintStream.<init>(Ljava/io/OutputStream;)V",
    "java/lang/System.setOut(Ljava/io/PrintStream;)V",
    "java/lang/System.setErr(Ljava/io/PrintStream;)V",
    "sun/launcher/LauncherHelper.checkAndLoadMain(ZILjava/lang/String;)Ljava/lang/Class;",
};

Object* New(const std::string& className) {
  std::lock_guard<std::recursive_mutex> lock(heapLock);
  heap.emplace_back();
  heap.back().className = className;
  return &heap.back();
}

Object* O(const void* reference) { return static_cast<Object*>(const_cast<void*>(reference)); }

Object* ClassNamed(const std::string& name) {
  std::lock_guard<std::recursive_mutex> lock(heapLock);
  Object*& found = classes[name];
  if (found == nullptr) found = New(name);
  return found;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

void Throw(const std::string& className, const std::u16string& message) {
  pending = New(className);
  pending->text = message;
}

void Print(Object* printStream, FILE* standard, const std::string& text) {
  FILE* file = printStream != nullptr ? printStream->target->file : standard;
  fputs(text.c_str(), file);
  fflush(file);
}

// Runs the method or constructor `id` with its arguments.
jobject Run(jmethodID id, va_list arguments) {
  const std::string& method = *reinterpret_cast<const std::string*>(id);
  const auto named = [&](const char* start) { return method.rfind(start, 0) == 0; };
  if (RunExtraMethod(method, arguments)) return nullptr;
  if (named("java/lang/String.")) {
    Object* string = New("java/lang/String");
    string->text = O(va_arg(arguments, jobject))->text;
    return reinterpret_cast<jobject>(string);
  }
  if (named("java/io/FileOutputStream.")) {
    const std::u16string& path = O(va_arg(arguments, jobject))->text;
    Object* stream = New("java/io/FileOutputStream");
    stream->file = OpenStreamFile(path, va_arg(arguments, int) != JNI_FALSE);
    if (stream->file == nullptr) Throw("java/io/FileNotFoundException", path);
    return stream->file != nullptr ? reinterpret_cast<jobject>(stream) : nullptr;
  }
  if (named("java/io/PrintStream.")) {
    Object* stream = New("java/io/PrintStream");
    stream->target = O(va_arg(arguments, jobject));
    return reinterpret_cast<jobject>(stream);
  }
  if (named("java/lang/System.")) {
    (named("java/lang/System.setOut") ? systemOut : systemErr) = O(va_arg(arguments, jobject));
    return nullptr;
  }
  if (named("sun/launcher/")) {
    // As the JDK's helper: report a class it cannot use, then exit with 1.
    (void)va_arg(arguments, int);
    (void)va_arg(arguments, jint);
    std::string name = ToModifiedUtf8(O(va_arg(arguments, jobject))->text);
    for (char& c : name) c = c == '.' ? '/' : c;
    if (name != CurrentControl().missingClass && !CurrentControl().noMain) {
      return reinterpret_cast<jobject>(ClassNamed(name));
    }
    Print(systemErr, stderr, (name == CurrentControl().missingClass ? "Error: Could not find or load main class "
                                                                    : "Error: Main method not found in class ") +
                                 name + "\n");
    exit(1);
  }
  // main
  const std::vector<Object*>& elements = O(va_arg(arguments, jobject))->elements;
  std::string text = "argc=" + std::to_string(elements.size()) + "\n";
  for (Object* argument : elements) text += "arg=" + Hex(argument->text) + "\n";
  Print(systemOut, stdout, text);
  ServiceMainBody();
  Print(systemErr, stderr, "main done\n");
  AfterMain();
  return nullptr;
}

template <size_t Slot>
void JNICALL Unexpected() {
  fprintf(stderr, "testjvm: unexpected JNI call (function table slot %u)\n", static_cast<unsigned>(Slot));
  abort();
}

template <size_t... Slots>
void FillUnexpected(void** slots, std::index_sequence<Slots...>) {
  ((slots[Slots] = reinterpret_cast<void*>(&Unexpected<Slots>)), ...);
}

jclass JNICALL FindClass(JNIEnv*, const char* name) {
  if (name == CurrentControl().missingClass) {
    Throw("java/lang/NoClassDefFoundError", Wide(name));
    return nullptr;
  }
  return reinterpret_cast<jclass>(ClassNamed(name));
}

jmethodID JNICALL GetMethodID(JNIEnv*, jclass type, const char* name, const char* signature) {
  std::lock_guard<std::recursive_mutex> lock(heapLock);
  methods.push_back(O(type)->className + "." + name + signature);
  const std::string& method = methods.back();
  const bool isMain = strcmp(name, "main") == 0 && strcmp(signature, "([Ljava/lang/String;)V") == 0;
  bool known = IsExtraMethod(method, name, signature) || (isMain && !CurrentControl().noMain);
  for (const char* knownMethod : kKnownMethods) known |= method == knownMethod;
  if (known) return reinterpret_cast<jmethodID>(&methods.back());
  if (!isMain) Throw("java/lang/NoSuchMethodError", Wide(method));
  return nullptr;
}

jobject JNICALL CallObjectV(JNIEnv*, jclass, jmethodID method, va_list arguments) { return Run(method, arguments); }
void JNICALL CallVoidV(JNIEnv*, jclass, jmethodID method, va_list arguments) { Run(method, arguments); }

jcharArray JNICALL NewCharArray(JNIEnv*, jsize length) {
  Object* array = New("[C");
  array->text.resize(static_cast<size_t>(length));
  return reinterpret_cast<jcharArray>(array);
}

void JNICALL SetCharArrayRegion(JNIEnv*, jcharArray array, jsize start, jsize length, const jchar* units) {
  for (jsize i = 0; i < length; ++i) O(array)->text[static_cast<size_t>(start + i)] = units[i];
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass, jobject initial) {
  Object* array = New("[Ljava/lang/Object;");
  array->elements.assign(static_cast<size_t>(length), O(initial));
  return reinterpret_cast<jobjectArray>(array);
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
  O(array)->elements[static_cast<size_t>(index)] = O(value);
}

void JNICALL DeleteLocalRef(JNIEnv*, jobject) {}
jthrowable JNICALL ExceptionOccurred(JNIEnv*) { return reinterpret_cast<jthrowable>(pending); }
void JNICALL ExceptionClear(JNIEnv*) { pending = nullptr; }

void JNICALL ExceptionDescribe(JNIEnv*) {
  if (pending == nullptr) return;
  std::string name = pending->className;
  for (char& c : name) c = c == '/' ? '.' : c;
  Print(systemErr, stderr, "Exception in thread \"main\" " + name + ": " + ToModifiedUtf8(pending->text) + "\n");
  pending = nullptr;
}

const char* JNICALL GetStringUTFChars(JNIEnv*, jstring string, jboolean* isCopy) {
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  const std::string bytes = ToModifiedUtf8(O(string)->text);
  return static_cast<char*>(memcpy(malloc(bytes.size() + 1), bytes.c_str(), bytes.size() + 1));
}

void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char* characters) { free(const_cast<char*>(characters)); }

JNINativeInterface_ BuildTable() {
  JNINativeInterface_ table;
  FillUnexpected(reinterpret_cast<void**>(&table), std::make_index_sequence<sizeof table / sizeof(void*)>());
  table.FindClass = FindClass;
  table.GetMethodID = GetMethodID;
  table.GetStaticMethodID = GetMethodID;
  table.NewObjectV = CallObjectV;
  table.CallStaticObjectMethodV = CallObjectV;
  table.CallStaticVoidMethodV = CallVoidV;
  table.CallStaticIntMethodV = CallStaticIntMethodV;
  table.NewCharArray = NewCharArray;
  table.SetCharArrayRegion = SetCharArrayRegion;
  table.NewObjectArray = NewObjectArray;
  table.SetObjectArrayElement = SetObjectArrayElement;
  table.DeleteLocalRef = DeleteLocalRef;
  table.ExceptionOccurred = ExceptionOccurred;
  table.ExceptionClear = ExceptionClear;
  table.ExceptionDescribe = ExceptionDescribe;
  table.GetStringUTFChars = GetStringUTFChars;
  table.ReleaseStringUTFChars = ReleaseStringUTFChars;
  return table;
}

}  // namespace

const JNINativeInterface_* NativeInterface() {
  static const JNINativeInterface_ table = BuildTable();
  return &table;
}

std::vector<std::u16string> StringsOf(jobject array) {
  std::vector<std::u16string> strings;
  for (Object* element : O(array)->elements) strings.push_back(element->text);
  return strings;
}

// Only the JDK's own classes come from the boot loader.
jclass FindBootClass(const char* name) {
  if (strncmp(name, "java/", 5) != 0 && strncmp(name, "sun/", 4) != 0) return nullptr;
  return reinterpret_cast<jclass>(ClassNamed(name));
}

}  // namespace testjvm
