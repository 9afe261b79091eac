// The entry points of the test JVM. Each variant of the library leaves one
// of them out (TESTJVM_WITHOUT_*), as a library that is not a JVM would.
#include "test_jvm.h"

#ifndef TESTJVM_WITHOUT_CREATE
extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* initArguments) {
  return testjvm::CreateVm(vm, env, initArguments);
}
#endif

#ifndef TESTJVM_WITHOUT_DEFAULTS
extern "C" JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* initArguments) {
  return testjvm::DefaultInitArgs(initArguments);
}
#endif

#ifndef TESTJVM_WITHOUT_BOOTLOADER
extern "C" JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv*, const char* name) {
  return testjvm::FindBootClass(name);
}
#endif
