/* Machine-dependent JNI definitions for the Win32 ABI (x86 and x64). */
#ifndef JAVELIN_JNI_MD_WIN_H
#define JAVELIN_JNI_MD_WIN_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef __int64 jlong;
typedef signed char jbyte;

#endif
