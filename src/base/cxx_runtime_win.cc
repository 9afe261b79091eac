// Replacements for the parts of the statically linked GNU C++ runtime that
// would cost the Windows launcher more than a third of its size for text
// nobody reads.
//
// The launcher throws no exceptions of its own and catches none, so every
// exception the standard library could raise (a string longer than
// max_size(), an index out of range, an empty std::function called) ends the
// process through std::terminate anyway. The library's default helpers that
// raise them build std::logic_error and its relatives from a reference-counted
// string, which drags in a second copy of the whole std::string
// implementation and std::random_device; its default terminate handler
// demangles the exception's type name, which drags in the demangler and a
// printf with floating-point formatting. Defining the same functions here
// keeps the linker from taking those parts of libstdc++.a: it uses the first
// definition it finds, and the launcher's library comes before libstdc++ on
// the link line.
//
// All of them are defined in this one file on purpose: the object is pulled
// in by the launcher's own references to the __throw_ helpers, and with it
// the terminate handler, before libstdc++'s default handler is looked up.
#include <stdio.h>
#include <stdlib.h>

#include <exception>
#include <new>
#include <typeinfo>

// Only for the GNU C++ library, which the headers above identify.
#if defined(__GLIBCXX__)

namespace {

[[noreturn]] void EndProcess(const char* what) {
  fputs("terminate called: ", stderr);
  fputs(what, stderr);
  fputs("\n", stderr);
  fflush(stderr);
  abort();
}

}  // namespace

namespace __gnu_cxx {

// The default handler's report, without the demangled type name.
void __verbose_terminate_handler() {
  const char* what = "no active exception";
  if (std::current_exception()) {
    try {
      throw;
    } catch (const std::exception& exception) {
      what = exception.what();
    } catch (...) {
      what = "unknown exception";
    }
  }
  EndProcess(what);
}

}  // namespace __gnu_cxx

namespace std {

// The whole set of helpers that libstdc++ keeps in one object, so that no
// other part of the library can pull that object in beside these.

// Out of memory and failed casts stay exceptions of their own kinds, whose
// classes carry no text.
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_bad_cast() { throw std::bad_cast(); }
void __throw_bad_typeid() { throw std::bad_typeid(); }
void __throw_bad_exception() { throw std::bad_exception(); }

// Programming errors: report what failed and end like an uncaught exception.
void __throw_logic_error(const char* what) { EndProcess(what); }
void __throw_domain_error(const char* what) { EndProcess(what); }
void __throw_invalid_argument(const char* what) { EndProcess(what); }
void __throw_length_error(const char* what) { EndProcess(what); }
void __throw_out_of_range(const char* what) { EndProcess(what); }
void __throw_out_of_range_fmt(const char* format, ...) { EndProcess(format); }
void __throw_runtime_error(const char* what) { EndProcess(what); }
void __throw_range_error(const char* what) { EndProcess(what); }
void __throw_overflow_error(const char* what) { EndProcess(what); }
void __throw_underflow_error(const char* what) { EndProcess(what); }

}  // namespace std

#endif  // defined(__GLIBCXX__)
