#include "hydraulics/sparse_ldl.h"

#include <algorithm>
#include <set>
#include <vector>

namespace kvepa2 {

void SparseLdl::analyse(int n, const std::vector<std::pair<int, int>>& edges) {
    n_ = n;
    std::vector<std::set<int>> adj(static_cast<size_t>(n));
    for (auto [i, j] : edges) {
        if (i == j || i < 0 || j < 0 || i >= n || j >= n)
            continue;
        adj[i].insert(j);
        adj[j].insert(i);
    }
    // Minimum degree ordering on the explicit elimination graph; ties broken by index so
    // the order is reproducible. Done once per model, so simplicity wins over speed.
    perm_.assign(n, -1);
    invPerm_.assign(n, -1);
    std::vector<std::set<int>> g = adj;
    std::vector<char> done(static_cast<size_t>(n), 0);
    std::vector<std::vector<int>> lowerCols(static_cast<size_t>(n));  // by position
    for (int pos = 0; pos < n; ++pos) {
        int best = -1;
        size_t bestDeg = 0;
        for (int v = 0; v < n; ++v) {
            if (done[v])
                continue;
            if (best < 0 || g[v].size() < bestDeg) {
                best = v;
                bestDeg = g[v].size();
            }
        }
        perm_[best] = pos;
        invPerm_[pos] = best;
        done[best] = 1;
        std::vector<int> nb(g[best].begin(), g[best].end());
        for (int a : nb) {
            g[a].erase(best);
            for (int b : nb)
                if (a != b)
                    g[a].insert(b);
        }
        lowerCols[pos] = nb;  // original indexes, converted below
        g[best].clear();
    }
    // Column structure in positions.
    colStart_.assign(n + 1, 0);
    rowIndex_.clear();
    for (int pos = 0; pos < n; ++pos) {
        std::vector<int> rows;
        for (int v : lowerCols[pos]) rows.push_back(perm_[v]);
        std::sort(rows.begin(), rows.end());
        colStart_[pos] = static_cast<int>(rowIndex_.size());
        rowIndex_.insert(rowIndex_.end(), rows.begin(), rows.end());
    }
    colStart_[n] = static_cast<int>(rowIndex_.size());
    // Row lists.
    std::vector<int> count(n, 0);
    for (int r : rowIndex_) ++count[r];
    rowStart_.assign(n + 1, 0);
    for (int r = 0; r < n; ++r) rowStart_[r + 1] = rowStart_[r] + count[r];
    rowCol_.assign(rowIndex_.size(), 0);
    rowSlot_.assign(rowIndex_.size(), 0);
    std::vector<int> fillPos(rowStart_.begin(), rowStart_.end() - 1);
    for (int c = 0; c < n; ++c) {
        for (int s = colStart_[c]; s < colStart_[c + 1]; ++s) {
            const int r = rowIndex_[s];
            rowCol_[fillPos[r]] = c;
            rowSlot_[fillPos[r]] = s;
            ++fillPos[r];
        }
    }
    // For every entry L(j,k) of a row list, the slots in column j that the entries of column k
    // below row j update: fixed by the pattern, so the numeric factorisation needs no scatter.
    updateStart_.assign(rowCol_.size() + 1, 0);
    updateDst_.clear();
    std::vector<int> where(static_cast<size_t>(n), -1);
    for (int j = 0; j < n; ++j) {
        for (int s = colStart_[j]; s < colStart_[j + 1]; ++s) where[rowIndex_[s]] = s;
        for (int t = rowStart_[j]; t < rowStart_[j + 1]; ++t) {
            updateStart_[t] = static_cast<int>(updateDst_.size());
            const int k = rowCol_[t];
            for (int s = rowSlot_[t] + 1; s < colStart_[k + 1]; ++s)
                updateDst_.push_back(where[rowIndex_[s]]);
        }
    }
    updateStart_[rowCol_.size()] = static_cast<int>(updateDst_.size());
    values_.assign(static_cast<size_t>(n) + rowIndex_.size(), 0.0);
    work_.assign(n, 0.0);
}

int SparseLdl::offDiagonalSlot(int i, int j) const {
    int a = perm_[i];
    int b = perm_[j];
    if (a > b)
        std::swap(a, b);
    // Entry (b, a) lies in column a.
    const auto first = rowIndex_.begin() + colStart_[a];
    const auto last = rowIndex_.begin() + colStart_[a + 1];
    const auto it = std::lower_bound(first, last, b);
    if (it == last || *it != b)
        return -1;
    return n_ + static_cast<int>(it - rowIndex_.begin());
}

void SparseLdl::clearValues() {
    std::fill(values_.begin(), values_.end(), 0.0);
}

int SparseLdl::factorise() {
    return eliminate<false>();
}

int SparseLdl::factoriseDominant(const double* ground) {
    // Each row's excess of its diagonal over its off-diagonal magnitudes: what ties it to the
    // fixed grades. Elimination only adds to excesses and magnitudes, so every pivot comes as a
    // sum of non-negative terms instead of a difference of large ones.
    const double* l = values_.data() + n_;
    std::vector<double>& e = work_;
    if (ground) {
        for (int i = 0; i < n_; ++i) e[perm_[i]] = ground[i];
    } else {
        std::copy(values_.begin(), values_.begin() + n_, e.begin());
    }
    for (int c = 0; c < n_; ++c)
        for (int s = colStart_[c]; s < colStart_[c + 1]; ++s) {
            if (l[s] > 0.0)
                return invPerm_[c];
            if (!ground) {
                e[c] += l[s];
                e[rowIndex_[s]] += l[s];
            }
        }
    for (int j = 0; j < n_; ++j) e[j] = std::max(e[j], 0.0);
    return eliminate<true>();
}

template <bool FromExcess>
int SparseLdl::eliminate() {
    double* d = values_.data();
    double* l = values_.data() + n_;
    double* e = work_.data();
    const int* rs = rowStart_.data();
    const int* rc = rowCol_.data();
    const int* rsl = rowSlot_.data();
    const int* us = updateStart_.data();
    const int* ud = updateDst_.data();
    // Left-looking: column j receives the updates of every earlier column k with L(j,k) != 0.
    for (int j = 0; j < n_; ++j) {
        double dj = FromExcess ? e[j] : d[j];
        for (int t = rs[j]; t < rs[j + 1]; ++t) {
            const int k = rc[t];
            const int sjk = rsl[t];
            const double ljk = l[sjk];
            const double w = ljk * d[k];
            dj -= FromExcess ? ljk * e[k] : w * ljk;
            const double* src = l + sjk + 1;
            for (int u = us[t]; u < us[t + 1]; ++u, ++src) l[ud[u]] -= *src * w;
        }
        if constexpr (FromExcess) {
            e[j] = dj;
            for (int s = colStart_[j]; s < colStart_[j + 1]; ++s) dj -= l[s];
        }
        if (!(dj > 0.0))
            return invPerm_[j];
        d[j] = dj;
        const double inv = 1.0 / dj;
        for (int s = colStart_[j]; s < colStart_[j + 1]; ++s) l[s] *= inv;
    }
    return -1;
}

void SparseLdl::solve(double* b) {
    double* x = work_.data();
    const int* ip = invPerm_.data();
    for (int pos = 0; pos < n_; ++pos) x[pos] = b[ip[pos]];
    const double* d = values_.data();
    const double* l = values_.data() + n_;
    const int* cs = colStart_.data();
    const int* ri = rowIndex_.data();
    for (int j = 0; j < n_; ++j) {
        const double xj = x[j];
        if (xj != 0.0)
            for (int s = cs[j]; s < cs[j + 1]; ++s) x[ri[s]] -= l[s] * xj;
        x[j] = xj / d[j];
    }
    for (int j = n_ - 1; j >= 0; --j) {
        double xj = x[j];
        for (int s = cs[j]; s < cs[j + 1]; ++s) xj -= l[s] * x[ri[s]];
        x[j] = xj;
        b[ip[j]] = xj;
    }
}

}  // namespace kvepa2
