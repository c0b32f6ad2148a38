// Sparse symmetric LDL^T factorisation for the gradient method's node matrix. The ordering
// (minimum degree) and the fill pattern are computed once per topology; every iteration
// then only refills the values and refactorises numerically, without allocating.
#pragma once

#include <utility>
#include <vector>

namespace kvepa2 {

class SparseLdl {
  public:
    // n unknowns; edges (i, j), i != j, give the off-diagonal structure (duplicates allowed).
    void analyse(int n, const std::vector<std::pair<int, int>>& edges);

    int size() const { return n_; }
    // Position in values() of the entry (i, j), i != j, of an edge given to analyse().
    int offDiagonalSlot(int i, int j) const;
    // Position of the diagonal entry of unknown i.
    int diagonalSlot(int i) const { return perm_[i]; }

    void clearValues();
    double* values() { return values_.data(); }
    int nonZeros() const { return static_cast<int>(rowIndex_.size()); }

    // Factorises the values in place. Returns -1 on success, otherwise the unknown whose
    // pivot was not positive.
    int factorise();
    // The same for a weighted Laplacian plus a non-negative diagonal (off-diagonals <= 0),
    // with pivots built from the rows' excesses so that they cannot cancel out (a link of
    // enormous conductance beside ones of tiny conductance): slower, so only where it matters.
    // ground, if given, holds each row's excess (original numbering) as the caller summed it
    // from its terms; otherwise it is the diagonal less the off-diagonals, which loses the
    // excess of a row whose diagonal is huge.
    int factoriseDominant(const double* ground = nullptr);
    // Solves A x = b in place (b in original numbering).
    void solve(double* b);

  private:
    // Numeric elimination; FromExcess builds the pivots from the excesses in work_.
    template <bool FromExcess>
    int eliminate();

    int n_ = 0;
    std::vector<int> perm_;     // original -> position in the elimination order
    std::vector<int> invPerm_;  // position -> original
    // Strict lower part of L by columns, in elimination order; diagonal stored separately
    // in values_[0, n) and the columns' entries in values_[n, ...).
    std::vector<int> colStart_;
    std::vector<int> rowIndex_;
    // Row lists of L: for row j, the columns k < j with L(j, k) != 0 and the slot of that
    // entry in its column.
    std::vector<int> rowStart_;
    std::vector<int> rowCol_;
    std::vector<int> rowSlot_;
    std::vector<int> updateStart_;  // per row-list entry, into updateDst_
    std::vector<int> updateDst_;
    std::vector<double> values_;
    std::vector<double> work_;
};

}  // namespace kvepa2
