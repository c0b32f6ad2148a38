#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gene_layout.h"
#include "random_source.h"

namespace tarnix::detail {

// The chromosomes of one generation. The binary part of a member is a string of
// TotalBits characters '0'/'1' (gene 0 first); real and integer genes are rows
// of one matrix per kind.
class Population {
  public:
    void allocate(std::int32_t size, const GeneLayout& layout);
    void clear();

    std::int32_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    std::string& binary(std::int32_t member) { return binary_[static_cast<std::size_t>(member)]; }
    const std::string& binary(std::int32_t member) const { return binary_[static_cast<std::size_t>(member)]; }
    std::span<float> real(std::int32_t member) { return row(real_, realCount_, member); }
    std::span<const float> real(std::int32_t member) const { return row(real_, realCount_, member); }
    std::span<std::int32_t> integer(std::int32_t member) { return row(integer_, integerCount_, member); }
    std::span<const std::int32_t> integer(std::int32_t member) const {
        return row(integer_, integerCount_, member);
    }

    // Copies every part of one member of source into member `to` of this population.
    void copyMember(std::int32_t to, const Population& source, std::int32_t from);
    void copyAll(const Population& source);

  private:
    template <class T>
    static std::span<T> row(std::vector<T>& v, std::int32_t width, std::int32_t member) {
        return {v.data() + static_cast<std::size_t>(member) * static_cast<std::size_t>(width),
                static_cast<std::size_t>(width)};
    }
    template <class T>
    static std::span<const T> row(const std::vector<T>& v, std::int32_t width, std::int32_t member) {
        return {v.data() + static_cast<std::size_t>(member) * static_cast<std::size_t>(width),
                static_cast<std::size_t>(width)};
    }

    std::int32_t size_ = 0;
    std::int32_t realCount_ = 0;
    std::int32_t integerCount_ = 0;
    std::vector<std::string> binary_;
    std::vector<float> real_;
    std::vector<std::int32_t> integer_;
};

// The first population, drawn in a fixed order: every binary string member by
// member, then every real gene member by member, then every integer gene.
void drawInitialPopulation(Population& population, const GeneLayout& layout, RandomSource& random);

}  // namespace tarnix::detail
