// Forced into every translation unit of the mingw-w64 builds (see
// CMakeLists.txt). libstdc++ declares its std::string and std::wstring
// instantiations "extern template", so a program that calls a handful of
// string members links the library's whole instantiation objects (about
// 45 KB), which the linker cannot trim on Windows because the unwind tables
// keep every function of a linked object. With the extern declarations
// switched off, the compiler instantiates just the members the launcher uses.
#pragma once
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
