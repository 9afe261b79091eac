// The thread that creates the JVM and runs main.
#pragma once

#include <cstdint>

namespace javelin {

// Runs `procedure(argument)` on a new thread with `stackSize` bytes of stack
// (0: the system default) and waits for it without a time limit. False when
// the thread could not be created; otherwise `exitCode` is its result.
bool RunOnNewThread(uint32_t stackSize, uint32_t (*procedure)(void*), void* argument,
                    uint32_t& exitCode);

}  // namespace javelin
