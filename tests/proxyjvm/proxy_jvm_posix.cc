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

template <typename Function>
Function* Real(const char* name) {
  static void* library = [] {
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&Real<Function>), &info);
    const std::string path = info.dli_fname != nullptr ? info.dli_fname : "";
    std::string target;
    std::getline(std::ifstream(path.substr(0, path.rfind('/') + 1) + "proxyjvm.target"), target);
    void* loaded = dlopen(target.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (loaded != nullptr) return loaded;
    fprintf(stderr, "proxyjvm: cannot load the real JVM '%s': %s\n", target.c_str(), dlerror());
    abort();
  }();
  return reinterpret_cast<Function*>(dlsym(library, name));
}

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* arguments) {
  return Real<decltype(JNI_CreateJavaVM)>("JNI_CreateJavaVM")(vm, env, arguments);
}

extern "C" JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* arguments) {
  return Real<decltype(JNI_GetDefaultJavaVMInitArgs)>("JNI_GetDefaultJavaVMInitArgs")(arguments);
}
