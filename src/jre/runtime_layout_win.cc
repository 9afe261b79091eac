#include "jre/runtime_layout.h"

namespace javelin {

TextList JvmLibraryPaths(JvmFlavor flavor) {
  switch (flavor) {
    case JvmFlavor::kClient:
      return {u"bin\\client\\jvm.dll"};
    case JvmFlavor::kClassic:
      return {u"bin\\classic\\jvm.dll"};
    case JvmFlavor::kHotspot:
      return {u"bin\\hotspot\\jvm.dll"};
    case JvmFlavor::kServer:
      return {u"bin\\server\\jvm.dll"};
    case JvmFlavor::kJRockit:
      return {u"bin\\jrockit\\jvm.dll"};
  }
  return {};
}

TextList RuntimeMarkerPaths() { return {u"bin\\java.dll"}; }

TextList CompilerPaths() { return {u"bin\\javac.exe"}; }

}  // namespace javelin
