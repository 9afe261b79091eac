// A JVM library that passes the two invocation entry points on to the
// machine's real JVM but lacks JVM_FindClassFromBootLoader, as a runtime
// without the boot-loader lookup would. The real library's path is the one
// line of "proxyjvm.target" beside this library.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <jni.h>

namespace {

void* RealFunction(const char* name) {
  static void* library = [] {
    Dl_info info;
    std::string target;
    if (dladdr(reinterpret_cast<void*>(&RealFunction), &info) != 0 && info.dli_fname != nullptr) {
      const std::string path = info.dli_fname;
      std::ifstream in(path.substr(0, path.rfind('/') + 1) + "proxyjvm.target");
      std::getline(in, target);
    }
    void* loaded = dlopen(target.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (loaded == nullptr) {
      fprintf(stderr, "proxyjvm: cannot load the real JVM '%s': %s\n", target.c_str(), dlerror());
      abort();
    }
    return loaded;
  }();
  return dlsym(library, name);
}

}  // namespace

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* arguments) {
  return reinterpret_cast<jint(JNICALL*)(JavaVM**, void**, void*)>(RealFunction("JNI_CreateJavaVM"))(
      vm, env, arguments);
}

extern "C" JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* arguments) {
  return reinterpret_cast<jint(JNICALL*)(void*)>(RealFunction("JNI_GetDefaultJavaVMInitArgs"))(arguments);
}
