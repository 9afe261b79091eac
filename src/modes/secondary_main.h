// Handing a forwarded argument list to the running application's static
// secondaryMain method, on a thread of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/text.h"
#include "jvm/jni_api.h"

namespace javelin {

// What a forwarded call needs to know about the application.
struct SecondaryMainTarget {
  std::u16string mainClass;  // slash form, as in com/example/App
  // False with "VM Provider" "ibm" or "favor_ibm": the calling thread then
  // stays attached to the JVM after the call.
  bool detachAfterCall = true;
};

// Receives the exit code for the second instance that asked for the call.
using SecondaryMainReply = std::function<void(int32_t code)>;

// Attaches the calling thread to `vm`, finds the main class and its static
// secondaryMain, "([Ljava/lang/String;)V" first, else
// "([Ljava/lang/String;)I", and calls it with a String[] of exactly the
// UTF-16 units of `arguments`. The void method is replied 0 before it is
// called; the int method's result is replied after the call, or -1 when it
// threw. Without a JVM, an attachment, the class, the method or the array
// nothing is replied.
// Java exceptions are described on the error stream, never thrown on.
void DeliverToSecondaryMain(JavaVM* vm, const SecondaryMainTarget& target,
                            const TextList& arguments, const SecondaryMainReply& reply);

}  // namespace javelin
