// Loading the JVM library, creating the JVM with its hooks, redirecting the
// standard streams and building Java strings.
#pragma once

#include <cstdint>
#include <string>

#include "jvm/jni_api.h"

namespace javelin {

class Launcher;

// Loads the library at launcher.jvmLibraryPath and resolves the entry
// points. Reports message 222 or 212 and returns false on failure.
bool LoadJvmLibrary(Launcher& launcher);

// Creates the JVM on the calling thread with launcher.jvmOptions plus the
// "abort" and "exit" hooks, then applies the output redirection.
bool CreateJvm(Launcher& launcher);

// javaStackSize of the JVM's default JDK 1.1 init args, or 0.
uint32_t DefaultThreadStackSize(const Launcher& launcher);

// A java.lang.String holding exactly the UTF-16 units of `text`, or null.
jstring NewJavaString(JNIEnv* env, const std::u16string& text);

// Points System.out ("setOut") or System.err ("setErr") at the file.
bool RedirectStandardStream(JNIEnv* env, const std::u16string& path, bool append,
                            const char* setterName);

}  // namespace javelin
