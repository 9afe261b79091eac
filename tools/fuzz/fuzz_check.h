// A property that does not hold ends the fuzz run as a crash, so libFuzzer
// keeps the input that broke it.
#pragma once

#include <cstdlib>

inline void Check(bool condition) {
  if (!condition) std::abort();
}
