#include <windows.h>

#include "base/win_support.h"
#include "jre/binary_machine.h"

namespace javelin {

MachineType OwnMachine() {
#if defined(_M_X64) || defined(__x86_64__)
  return {BinaryFormat::kPe, IMAGE_FILE_MACHINE_AMD64};
#elif defined(_M_ARM64) || defined(__aarch64__)
  return {BinaryFormat::kPe, 0xAA64};  // IMAGE_FILE_MACHINE_ARM64
#else
  return {BinaryFormat::kPe, IMAGE_FILE_MACHINE_I386};
#endif
}

bool ReadFileBytes(const std::u16string& path, uint64_t offset, size_t count, uint8_t* bytes) {
  const ScopedKernelHandle file(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  DWORD done = 0;
  return SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) &&
         ReadFile(file.get(), bytes, static_cast<DWORD>(count), &done, nullptr) && done == count;
}

}  // namespace javelin
