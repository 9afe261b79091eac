/* The smallest useful JNI host: loads the JVM library, creates the JVM with
 * a class path, calls main(String[]) of one class and destroys the JVM. It is
 * the benchmark's floor for what an in-process launcher costs.
 * Usage: minimal_jni_host LIBJVM CLASSPATH MAINCLASS */
#include <dlfcn.h>
#include <jni.h>
#include <stdio.h>
#include <string.h>

typedef jint(JNICALL* CreateJavaVm)(JavaVM**, void**, void*);

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s LIBJVM CLASSPATH MAINCLASS\n", argv[0]);
    return 2;
  }
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_GLOBAL);
  if (library == NULL) {
    fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  CreateJavaVm create = (CreateJavaVm)dlsym(library, "JNI_CreateJavaVM");
  if (create == NULL) return 1;

  char classPath[4096];
  snprintf(classPath, sizeof classPath, "-Djava.class.path=%s", argv[2]);
  JavaVMOption options[1];
  options[0].optionString = classPath;
  options[0].extraInfo = NULL;
  JavaVMInitArgs args;
  args.version = JNI_VERSION_1_2;
  args.nOptions = 1;
  args.options = options;
  args.ignoreUnrecognized = JNI_FALSE;

  JavaVM* vm;
  JNIEnv* env;
  if (create(&vm, (void**)&env, &args) != JNI_OK) return 1;
  jclass mainClass = (*env)->FindClass(env, argv[3]);
  if (mainClass == NULL) return 1;
  jmethodID mainMethod =
      (*env)->GetStaticMethodID(env, mainClass, "main", "([Ljava/lang/String;)V");
  if (mainMethod == NULL) return 1;
  jclass stringClass = (*env)->FindClass(env, "java/lang/String");
  jobjectArray arguments = (*env)->NewObjectArray(env, 0, stringClass, NULL);
  (*env)->CallStaticVoidMethod(env, mainClass, mainMethod, arguments);
  int failed = (*env)->ExceptionOccurred(env) != NULL;
  (*vm)->DetachCurrentThread(vm);
  (*vm)->DestroyJavaVM(vm);
  return failed;
}
