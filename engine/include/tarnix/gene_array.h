#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tarnix {

// Genes of one kind as the host sees them: zero-based, one element per gene.
// A kind without genes is std::nullopt, which is distinct from an empty array.
template <class T>
using GeneArray = std::optional<std::vector<T>>;

// Binary genes carry the unsigned value their bits spell, most significant bit first.
using BinaryGeneArray = GeneArray<std::int32_t>;
using RealGeneArray = GeneArray<float>;
using IntegerGeneArray = GeneArray<std::int32_t>;

}  // namespace tarnix
