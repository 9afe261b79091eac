// What the Windows files share: the view of core text as Win32 wide text,
// and one owner for the handles Win32 hands out. Included only by _win.cc
// files.
#pragma once

#include <windows.h>

#include <string>

namespace javelin {

// Core text as Win32 sees it: wchar_t is a UTF-16 unit on Windows, so the
// characters are the same; only the type differs.
inline const wchar_t* W(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Owns one handle and closes it once, through `Traits`:
//   Value            the handle type
//   Invalid()        the value that owns nothing
//   IsValid(value)   whether `value` must be closed
//   Close(value)     closes it
template <typename Traits>
class ScopedHandle {
 public:
  using Value = typename Traits::Value;

  ScopedHandle() = default;
  explicit ScopedHandle(Value value) : value_(value) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : value_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Value get() const { return value_; }
  explicit operator bool() const { return Traits::IsValid(value_); }
  // Closes what is owned and returns where a Win32 call can store a new
  // handle (the out-parameter of RegOpenKeyExW and the like).
  Value* Receive() {
    Reset();
    return &value_;
  }
  // Gives the handle up without closing it.
  Value Release() {
    const Value value = value_;
    value_ = Traits::Invalid();
    return value;
  }
  // Closes what is owned and takes `value` instead.
  void Reset(Value value = Traits::Invalid()) {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = value;
  }

 private:
  Value value_ = Traits::Invalid();
};

// Kernel objects: files, processes, threads, events, mappings. Win32 reports
// a failure with either null or INVALID_HANDLE_VALUE, depending on the call.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr && value != INVALID_HANDLE_VALUE; }
  static void Close(Value value) { CloseHandle(value); }
};

// Directory searches of FindFirstFileW.
struct FindHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Value value) { return value != INVALID_HANDLE_VALUE; }
  static void Close(Value value) { FindClose(value); }
};

// Open registry keys.
struct RegistryKeyTraits {
  using Value = HKEY;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { RegCloseKey(value); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedRegistryKey = ScopedHandle<RegistryKeyTraits>;

}  // namespace javelin
