// The block in which a second instance hands its command-line arguments to
// the first instance: each argument as UTF-16 code units (little-endian)
// followed by one zero unit, and one more zero unit after the last argument.
#pragma once

#include <cstddef>

#include "base/text.h"

namespace javelin {

// The bytes a second instance may write: arguments that need more are not
// forwarded.
constexpr size_t kArgumentBlockLimit = 1040;

// The bytes the arguments take in the block, the closing zero unit included.
size_t ArgumentBlockSize(const TextList& arguments);

// Clears the first kArgumentBlockLimit bytes of `block` and writes the
// arguments into them. False, with nothing touched, when they do not fit.
bool EncodeArgumentBlock(const TextList& arguments, unsigned char* block);

// Reads the arguments back from the first `size` bytes of `block`: a zero
// unit ends an argument, and a second zero unit right after it ends the
// list. So an empty argument ends the list unless it comes first, and a
// block of zeros holds one empty argument. An argument still open at the
// end of the block is dropped.
TextList DecodeArgumentBlock(const unsigned char* block, size_t size);

}  // namespace javelin
