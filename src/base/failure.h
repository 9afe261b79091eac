// A failure described by the layer where it happens and printed by the
// launcher, so that each failure reaches the user once: lower layers return
// a Failure and never write it themselves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace javelin {

struct Failure {
  // The message that says what failed; 0 when the cause has been reported
  // already (a missing configuration path after a failed module path).
  int messageId = 0;
  // The platform's error code (Windows error, errno) when one applies.
  uint32_t code = 0;
  // The whole error text as it is printed after "Error: "; empty when there
  // is nothing more to print.
  std::u16string text;
};

// Message `messageId` as it stands.
Failure MessageFailure(int messageId);

// Message 202: the text of `messageId` with `code` as a signed 32-bit
// number.
Failure SystemErrorFailure(int messageId, uint32_t code);

// A value, or the failure that prevented it.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Failure failure) : failure_(std::move(failure)) {}

  explicit operator bool() const { return value_.has_value(); }
  const T& operator*() const { return *value_; }
  T& operator*() { return *value_; }
  const T* operator->() const { return &*value_; }
  // What went wrong; meaningful only without a value.
  const Failure& failure() const { return failure_; }

 private:
  std::optional<T> value_;
  Failure failure_;
};

}  // namespace javelin
