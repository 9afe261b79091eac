#include "modes/single_instance.h"

namespace javelin {

// Single-instance operation is not available yet: every start runs as an
// ordinary, independent instance.
std::unique_ptr<SingleInstance> SingleInstance::Setup(const std::u16string&, const TextList&,
                                                      SecondaryMainTarget) {
  return nullptr;
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::role() const { return Role::kOff; }

void SingleInstance::SignalMainStarted() {}

int SingleInstance::WaitForFirstInstance() { return 0; }

}  // namespace javelin
