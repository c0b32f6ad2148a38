#pragma once

#include <cstdint>
#include <stdexcept>

#include "tarnix/export.h"

namespace tarnix {

// Raised by the setters of NumberOfBinaryGenes, NumberOfRealGenes and
// NumberOfIntegerGenes: the counts change only through the Define*Genes methods.
class TARNIX_API ReadOnlyPropertyError : public std::runtime_error {
  public:
    static constexpr std::int32_t kSetNotPermitted = 387;           // at design time
    static constexpr std::int32_t kSetNotSupportedAtRunTime = 382;  // at run time

    explicit ReadOnlyPropertyError(std::int32_t code);
    ~ReadOnlyPropertyError() override;

    std::int32_t code() const { return code_; }

  private:
    std::int32_t code_;
};

}  // namespace tarnix
