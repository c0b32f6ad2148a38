// The sparse LDL^T factorisation against dense elimination on the same matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "hydraulics/sparse_ldl.h"

namespace kvepa2 {
namespace {

// A diagonally dominant symmetric matrix on a random graph; dense copy for reference.
struct Problem {
    int n = 0;
    std::vector<std::pair<int, int>> edges;
    std::vector<double> weight;
    std::vector<double> dense;
};

Problem makeProblem(int n, int extraEdges, unsigned seed) {
    Problem p;
    p.n = n;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(0, n - 1);
    std::uniform_real_distribution<double> w(0.1, 5.0);
    for (int i = 1; i < n; ++i) p.edges.emplace_back(i - 1, i);  // connected chain
    for (int e = 0; e < extraEdges; ++e) {
        const int a = pick(rng);
        const int b = pick(rng);
        if (a != b)
            p.edges.emplace_back(a, b);
    }
    p.dense.assign(static_cast<size_t>(n) * n, 0.0);
    for (auto [a, b] : p.edges) {
        const double v = w(rng);
        p.weight.push_back(v);
        p.dense[a * n + a] += v;
        p.dense[b * n + b] += v;
        p.dense[a * n + b] -= v;
        p.dense[b * n + a] -= v;
    }
    for (int i = 0; i < n; ++i) p.dense[i * n + i] += 0.5;  // ground link keeps it definite
    return p;
}

std::vector<double> denseSolve(std::vector<double> a, std::vector<double> b, int n) {
    for (int c = 0; c < n; ++c) {
        for (int r = c + 1; r < n; ++r) {
            const double f = a[r * n + c] / a[c * n + c];
            for (int k = c; k < n; ++k) a[r * n + k] -= f * a[c * n + k];
            b[r] -= f * b[c];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        double s = b[r];
        for (int k = r + 1; k < n; ++k) s -= a[r * n + k] * b[k];
        b[r] = s / a[r * n + r];
    }
    return b;
}

void fill(SparseLdl& ldl, const Problem& p) {
    ldl.clearValues();
    double* v = ldl.values();
    for (size_t e = 0; e < p.edges.size(); ++e) {
        auto [a, b] = p.edges[e];
        v[ldl.diagonalSlot(a)] += p.weight[e];
        v[ldl.diagonalSlot(b)] += p.weight[e];
        v[ldl.offDiagonalSlot(a, b)] -= p.weight[e];
    }
    for (int i = 0; i < p.n; ++i) v[ldl.diagonalSlot(i)] += 0.5;
}

TEST(SparseLdl, MatchesDenseEliminationOnRandomGraphs) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        const Problem p = makeProblem(60, 80, seed);
        SparseLdl ldl;
        ldl.analyse(p.n, p.edges);
        fill(ldl, p);
        ASSERT_EQ(ldl.factorise(), -1);
        std::vector<double> b(p.n);
        for (int i = 0; i < p.n; ++i) b[i] = std::sin(i + 1.0 * seed);
        const auto expect = denseSolve(p.dense, b, p.n);
        ldl.solve(b.data());
        for (int i = 0; i < p.n; ++i) EXPECT_NEAR(b[i], expect[i], 1e-9) << "seed " << seed << " i " << i;
    }
}

TEST(SparseLdl, RefactorisationReusesTheAnalysis) {
    // Same pattern, new values: the second factorisation must give the new solution.
    Problem p = makeProblem(30, 30, 7);
    SparseLdl ldl;
    ldl.analyse(p.n, p.edges);
    fill(ldl, p);
    ASSERT_EQ(ldl.factorise(), -1);
    for (auto& w : p.weight) w *= 3.0;
    std::fill(p.dense.begin(), p.dense.end(), 0.0);
    for (size_t e = 0; e < p.edges.size(); ++e) {
        auto [a, b] = p.edges[e];
        p.dense[a * p.n + a] += p.weight[e];
        p.dense[b * p.n + b] += p.weight[e];
        p.dense[a * p.n + b] -= p.weight[e];
        p.dense[b * p.n + a] -= p.weight[e];
    }
    for (int i = 0; i < p.n; ++i) p.dense[i * p.n + i] += 0.5;
    fill(ldl, p);
    ASSERT_EQ(ldl.factorise(), -1);
    std::vector<double> b(p.n, 1.0);
    const auto expect = denseSolve(p.dense, b, p.n);
    ldl.solve(b.data());
    for (int i = 0; i < p.n; ++i) EXPECT_NEAR(b[i], expect[i], 1e-9);
}

TEST(SparseLdl, ReportsTheUnknownWithANonPositivePivot) {
    // Two unknowns joined by one edge and no ground: singular, the second pivot is zero.
    SparseLdl ldl;
    ldl.analyse(2, {{0, 1}});
    ldl.clearValues();
    double* v = ldl.values();
    v[ldl.diagonalSlot(0)] = 1.0;
    v[ldl.diagonalSlot(1)] = 1.0;
    v[ldl.offDiagonalSlot(0, 1)] = -1.0;
    EXPECT_GE(ldl.factorise(), 0);
}

TEST(SparseLdl, PivotsLostToCancellationAreRebuiltFromTheRowExcesses) {
    // 0 -(1e7)- 1 -(5.8e-10)- 2 -(1)- ground: a pipe at the gradient floor beside a nearly
    // closed one. Eliminating 0 first leaves 1 with (1e7 + 5.8e-10) - 1e7 = 0 in double.
    SparseLdl ldl;
    ldl.analyse(3, {{0, 1}, {1, 2}});
    const auto load = [&] {
        ldl.clearValues();
        double* v = ldl.values();
        v[ldl.diagonalSlot(0)] = 1e7;
        v[ldl.diagonalSlot(1)] = 1e7 + 5.8e-10;
        v[ldl.diagonalSlot(2)] = 5.8e-10 + 1.0;
        v[ldl.offDiagonalSlot(0, 1)] = -1e7;
        v[ldl.offDiagonalSlot(1, 2)] = -5.8e-10;
    };
    load();
    EXPECT_GE(ldl.factorise(), 0);
    load();
    ASSERT_EQ(ldl.factoriseDominant(), -1);
    // One unit drawn at 0 must flow through both links: heads -1/5.8e-10 - 1 at 0 and 1.
    std::vector<double> b = {-1.0, 0.0, 0.0};
    ldl.solve(b.data());
    EXPECT_NEAR(b[2], -1.0, 1e-9);
    EXPECT_NEAR(b[1], -1.0 - 1.0 / 5.8e-10, 1e-6 / 5.8e-10);
    EXPECT_NEAR(b[0], b[1] - 1e-7, 1e-6 / 5.8e-10);
    // A matrix singular in earnest still fails.
    ldl.clearValues();
    double* v = ldl.values();
    v[ldl.diagonalSlot(0)] = 1.0;
    v[ldl.diagonalSlot(1)] = 1.0;
    v[ldl.offDiagonalSlot(0, 1)] = -1.0;
    EXPECT_GE(ldl.factoriseDominant(), 0);
}

TEST(SparseLdl, ExcessesSummedByTheCallerSurviveAHugeDiagonal) {
    // 0 -(1e7)- 1 -(1e-9)- ground: row 1's diagonal 1e7 + 1e-9 keeps its excess only to the
    // diagonal's last bit (1.9e-9), so the caller passes the excesses it summed.
    SparseLdl ldl;
    ldl.analyse(2, {{0, 1}});
    double* v = ldl.values();
    v[ldl.diagonalSlot(0)] = 1e7;
    v[ldl.diagonalSlot(1)] = 1e7 + 1e-9;
    v[ldl.offDiagonalSlot(0, 1)] = -1e7;
    const std::vector<double> ground = {0.0, 1e-9};
    ASSERT_EQ(ldl.factoriseDominant(ground.data()), -1);
    // One unit drawn at 0 leaves through the 1e-9 link: head -1e9 at 1.
    std::vector<double> b = {-1.0, 0.0};
    ldl.solve(b.data());
    EXPECT_NEAR(b[1], -1e9, 1e-6 * 1e9);
    EXPECT_NEAR(b[0], b[1] - 1e-7, 1e-6 * 1e9);
}

}  // namespace
}  // namespace kvepa2
