#include "jvm/java_vm_host.h"

namespace javelin {

bool LoadJvmLibrary(Launcher&) { return false; }
bool CreateJvm(Launcher&) { return false; }
uint32_t DefaultThreadStackSize(const Launcher&) { return 0; }
jstring NewJavaString(JNIEnv*, const std::u16string&) { return nullptr; }
bool RedirectStandardStream(JNIEnv*, const std::u16string&, bool, const char*) { return false; }

}  // namespace javelin
