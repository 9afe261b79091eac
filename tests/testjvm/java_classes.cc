// The Java behaviour the launcher relies on, emulated for the few classes
// and members it calls.
#include <string>

#include "test_jvm.h"

namespace testjvm {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsThrowableClass(const std::string& name) {
  return EndsWith(name, "Exception") || EndsWith(name, "Error") || name == "java/lang/Throwable";
}

bool IsJdkClass(const std::string& name) {
  return name.compare(0, 5, "java/") == 0 || name.compare(0, 4, "sun/") == 0;
}

// Parameter type letters of a method signature: 'L' for any reference.
std::string ParameterKinds(const std::string& signature) {
  std::string kinds;
  for (size_t i = 1; i < signature.size() && signature[i] != ')'; ++i) {
    char c = signature[i];
    if (c == '[') {
      while (signature[i] == '[') ++i;
      if (signature[i] == 'L') i = signature.find(';', i);
      c = 'L';
    } else if (c == 'L') {
      i = signature.find(';', i);
    }
    kinds.push_back(c);
  }
  return kinds;
}

std::u16string DottedToSlashed(std::u16string name) {
  for (char16_t& c : name) {
    if (c == u'.') c = u'/';
  }
  return name;
}

std::string Narrow(const std::u16string& text) {
  std::string narrow;
  for (char16_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return narrow;
}

void LogStringArray(const std::string& header, Object* array) {
  Log(header + " argc=" + std::to_string(array != nullptr ? array->elements.size() : 0));
  if (array == nullptr) return;
  for (Object* element : array->elements) {
    Log(element != nullptr ? "arg " + EscapeUnits(element->text) : "arg-null");
  }
}

jvalue NoValue() {
  jvalue value;
  value.j = 0;
  return value;
}

jvalue ObjectValue(Object* object) {
  jvalue value = NoValue();
  value.l = J(object);
  return value;
}

jvalue CheckAndLoadMain(const std::vector<jvalue>& arguments) {
  const Control& control = CurrentControl();
  Object* name = O(arguments[2].l);
  Log("checkAndLoadMain printErrors=" + std::to_string(arguments[0].z) +
      " mode=" + std::to_string(arguments[1].i) + " " + EscapeUnits(name->text));
  if (control.helperReturnsNull) return NoValue();
  const std::string className = Narrow(DottedToSlashed(name->text));
  // As the JDK's helper: report, then System.exit(1).
  if (!ClassExists(className)) {
    WriteToStream(SystemErr(), true,
                  "Error: Could not find or load main class " + Narrow(name->text) + "\n");
    ExitProcess(1);
  }
  if (control.noMain || control.noMainQuiet) {
    WriteToStream(SystemErr(), true,
                  "Error: Main method not found in class " + Narrow(name->text) +
                      ", please define the main method as:\n   public static void main(String[] args)\n");
    ExitProcess(1);
  }
  return ObjectValue(ClassNamed(className));
}

void RunMain(const Method* method, Object* arguments) {
  const Control& control = CurrentControl();
  LogStringArray("main " + method->className, arguments);
  if (control.mainThrows) {
    Throw("java/lang/IllegalStateException", u"thrown by main");
    return;
  }
  if (control.mainExits) ExitProcess(control.mainExitCode);
  const size_t count = arguments != nullptr ? arguments->elements.size() : 0;
  WriteToStream(SystemOut(), false, "main: " + std::to_string(count) + " argument(s)\n");
  WriteToStream(SystemErr(), true, "main: done\n");
}

}  // namespace

bool ClassExists(const std::string& name) {
  return CurrentControl().missingClasses.count(name) == 0;
}

bool MethodExists(const std::string& className, const std::string& name,
                  const std::string& signature, bool isStatic) {
  const Control& control = CurrentControl();
  if (isStatic) {
    if (className == "sun/launcher/LauncherHelper") {
      return name == "checkAndLoadMain" && signature == "(ZILjava/lang/String;)Ljava/lang/Class;";
    }
    if (className == "java/lang/System") {
      return ((name == "setOut" || name == "setErr") && signature == "(Ljava/io/PrintStream;)V") ||
             (name == "exit" && signature == "(I)V");
    }
    if (IsJdkClass(className)) return false;
    if (name == "main") return signature == "([Ljava/lang/String;)V" && !control.noMain && !control.noMainQuiet;
    if (name == "secondaryMain") {
      return (control.hasVoidSecondary && signature == "([Ljava/lang/String;)V") ||
             (control.hasIntSecondary && signature == "([Ljava/lang/String;)I");
    }
    return name == "stop" && signature == "()V";
  }
  if (name == "<init>") {
    return (className == "java/lang/String" && signature == "([C)V") ||
           (className == "java/io/FileOutputStream" && signature == "(Ljava/lang/String;Z)V") ||
           (className == "java/io/PrintStream" && signature == "(Ljava/io/OutputStream;)V") ||
           (className == "java/io/ByteArrayOutputStream" && signature == "()V");
  }
  if (className == "java/io/ByteArrayOutputStream") {
    return name == "toString" && signature == "()Ljava/lang/String;";
  }
  return IsThrowableClass(className) && name == "printStackTrace" &&
         signature == "(Ljava/io/PrintStream;)V";
}

jvalue Invoke(Method* method, Object* receiver, const std::vector<jvalue>& arguments) {
  const std::string& name = method->name;
  if (method->className == "sun/launcher/LauncherHelper") return CheckAndLoadMain(arguments);
  if (method->className == "java/lang/System") {
    if (name == "exit") ExitProcess(arguments[0].i);
    Object* stream = O(arguments[0].l);
    Log(name + " " + (stream != nullptr && stream->target != nullptr && stream->target->file != nullptr
                          ? "file" : "other"));
    SetSystemStream(name == "setErr", stream);
    return NoValue();
  }
  if (name == "main") {
    RunMain(method, O(arguments[0].l));
    return NoValue();
  }
  if (name == "secondaryMain") {
    LogStringArray("secondaryMain " + method->className, O(arguments[0].l));
    jvalue result = NoValue();
    result.i = CurrentControl().secondaryResult;
    return result;
  }
  if (name == "stop") {
    Log("stop " + method->className);
    return NoValue();
  }
  if (name == "toString") {
    std::u16string text;
    for (unsigned char c : receiver->bytes) text.push_back(c);
    return ObjectValue(StringOf(text));
  }
  if (name == "printStackTrace") {
    Log("printStackTrace " + receiver->className);
    WriteToStream(O(arguments[0].l), true,
                  receiver->className + ": " + ToModifiedUtf8(receiver->text) +
                      "\n\tat testjvm.Main.main(Main.java)\n");
    return NoValue();
  }
  Log("unexpected-method " + method->className + "." + name + method->signature);
  return NoValue();
}

Object* Construct(Method* constructor, const std::vector<jvalue>& arguments) {
  const std::string& className = constructor->className;
  if (className == "java/lang/String") {
    if (CurrentControl().noString) {
      Throw("java/lang/OutOfMemoryError", u"");
      return nullptr;
    }
    Object* characters = O(arguments[0].l);
    Log("string " + EscapeUnits(characters->text));
    return StringOf(characters->text);
  }
  if (className == "java/io/FileOutputStream") {
    Object* path = O(arguments[0].l);
    const bool append = arguments[1].z != JNI_FALSE;
    Log("open " + EscapeUnits(path->text) + (append ? " append" : " truncate"));
    FILE* file = OpenFileForStream(path->text, append);
    if (file == nullptr) {
      Throw("java/io/FileNotFoundException", path->text);
      return nullptr;
    }
    Object* stream = NewObjectOf(Object::kFileStream, className);
    stream->file = file;
    return stream;
  }
  if (className == "java/io/PrintStream") {
    Object* stream = NewObjectOf(Object::kPrintStream, className);
    stream->target = O(arguments[0].l);
    return stream;
  }
  if (className == "java/io/ByteArrayOutputStream") return NewObjectOf(Object::kByteStream, className);
  Log("unexpected-constructor " + className + constructor->signature);
  return nullptr;
}

std::vector<jvalue> ArgumentsFromVaList(const Method* method, va_list arguments) {
  std::vector<jvalue> values;
  for (char kind : ParameterKinds(method->signature)) {
    jvalue value = NoValue();
    switch (kind) {
      case 'Z': value.z = static_cast<jboolean>(va_arg(arguments, int)); break;
      case 'B': value.b = static_cast<jbyte>(va_arg(arguments, int)); break;
      case 'C': value.c = static_cast<jchar>(va_arg(arguments, int)); break;
      case 'S': value.s = static_cast<jshort>(va_arg(arguments, int)); break;
      case 'I': value.i = va_arg(arguments, jint); break;
      case 'J': value.j = va_arg(arguments, jlong); break;
      case 'F': value.f = static_cast<jfloat>(va_arg(arguments, double)); break;
      case 'D': value.d = va_arg(arguments, double); break;
      default: value.l = va_arg(arguments, jobject); break;
    }
    values.push_back(value);
  }
  return values;
}

std::vector<jvalue> ArgumentsFromArray(const Method* method, const jvalue* arguments) {
  return std::vector<jvalue>(arguments, arguments + ParameterKinds(method->signature).size());
}

}  // namespace testjvm
