#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "base/text.h"
#include "jre/binary_machine.h"

namespace javelin {

MachineType OwnMachine() {
#if defined(__x86_64__)
  return {BinaryFormat::kElf, EM_X86_64};
#elif defined(__i386__)
  return {BinaryFormat::kElf, EM_386};
#elif defined(__aarch64__)
  return {BinaryFormat::kElf, EM_AARCH64};
#elif defined(__arm__)
  return {BinaryFormat::kElf, EM_ARM};
#elif defined(__powerpc64__)
  return {BinaryFormat::kElf, EM_PPC64};
#elif defined(__s390x__)
  return {BinaryFormat::kElf, EM_S390};
#elif defined(__riscv)
  return {BinaryFormat::kElf, EM_RISCV};
#else
  // Any other processor: the running program's own header says it.
  uint16_t machine = 0;
  ReadFileMachine(u"/proc/self/exe", BinaryFormat::kElf, machine);
  return {BinaryFormat::kElf, machine};
#endif
}

bool ReadFileBytes(const std::u16string& path, uint64_t offset, size_t count, uint8_t* bytes) {
  const int file = open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = pread(file, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(file);
  return done == count;
}

}  // namespace javelin
