#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tarnix {

// An input array with an arbitrary lower bound, for the Define*Genes methods:
// gene k is the k-th element counted from the lower bound, whatever the bound is.
//
//   tarnix::BoundedArray<std::int32_t> bits{3, 5};          // elements 0..1
//   tarnix::BoundedArray<double> mins({0.5, 1.0, 2.0}, 1);  // elements 1..3
//   engine.DefineBinaryGenes(2, {3, 5});
template <class T>
class BoundedArray {
  public:
    BoundedArray() = default;
    BoundedArray(std::initializer_list<T> values, std::int32_t lowerBound = 0)
        : values_(values), lowerBound_(lowerBound) {}
    explicit BoundedArray(std::vector<T> values, std::int32_t lowerBound = 0)
        : values_(std::move(values)), lowerBound_(lowerBound) {}
    // Converts element by element, e.g. a std::vector<int> into bounds of doubles.
    template <class U>
    explicit BoundedArray(const std::vector<U>& values, std::int32_t lowerBound = 0)
        : values_(values.begin(), values.end()), lowerBound_(lowerBound) {}

    std::int32_t lowerBound() const { return lowerBound_; }
    std::int32_t upperBound() const { return lowerBound_ + elementCount() - 1; }
    // upperBound - lowerBound + 1.
    std::int32_t elementCount() const { return static_cast<std::int32_t>(values_.size()); }

    // Element by its bound index (lowerBound() to upperBound()).
    const T& operator[](std::int32_t index) const {
        return values_[static_cast<std::size_t>(index - lowerBound_)];
    }
    // Elements in order from the lower bound.
    const std::vector<T>& elements() const { return values_; }

  private:
    std::vector<T> values_;
    std::int32_t lowerBound_ = 0;
};

}  // namespace tarnix
