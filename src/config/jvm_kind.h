// The kinds of JVM the "JVM Type" setting asks for.
#pragma once

#include <cstdint>

namespace javelin {

constexpr int32_t kJvmTypeAny = 0;          // no preference
constexpr int32_t kJvmTypeServer = 1;       // "server": only the server VM
constexpr int32_t kJvmTypeFavorServer = 2;  // "favor_server": the server VM first

}  // namespace javelin
