#include "hydraulics/abs_powers.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace kvepa2 {

namespace {

constexpr int kLanes = 4;
using V = double __attribute__((vector_size(kLanes * sizeof(double))));
using I = std::int64_t __attribute__((vector_size(kLanes * sizeof(double))));
using U = std::uint64_t __attribute__((vector_size(kLanes * sizeof(double))));

// ln 2 split so that n * kLn2Hi is exact for every exponent a double can have.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;
constexpr double kSqrt2 = 1.41421356237309514547e+00;
// Adding 1.5 * 2^52 rounds to an integer held in the low bits.
constexpr double kShift = 6755399441055744.0;
constexpr std::int64_t kTwo52Bits = 0x4330000000000000;  // bits of 2^52
constexpr double kTwo52 = 4503599627370496.0;
// Beyond these the lane is left to std::pow.
constexpr double kLow = 0x1p-1000;
constexpr double kHigh = 0x1p1000;
constexpr double kMaxExponent = 700.0;

// GCC vector casts reinterpret the bits, lane by lane.
// One block of kLanes elements. Inlined into each clone of absPowers, so every clone computes
// the same operations in the same order and only the vector width differs.
[[gnu::always_inline]] inline void block(const double* x, double e, double* out) {
    V a;
    std::memcpy(&a, x, sizeof a);
    const I bits = (I)a & 0x7fffffffffffffff;
    a = (V)bits;
    // |x| = 2^k m, m in [sqrt(1/2), sqrt(2)).
    const I mantissa = (bits & 0x000fffffffffffff) | 0x3ff0000000000000;
    V m = (V)mantissa;
    const I field = (bits >> 52) | kTwo52Bits;
    V k = (V)field - (kTwo52 + 1023.0);
    const V zero = {};
    const V one = zero + 1.0;
    const I high = m > kSqrt2;
    m = high ? m * 0.5 : m;
    k += high ? one : zero;
    // ln m = 2 atanh(f / (2 + f)), a series in s^2 <= 0.0295.
    const V f = m - 1.0;
    const V s = f / (2.0 + f);
    const V z = s * s;
    // Estrin's scheme: short dependency chains, so that blocks overlap in the pipeline.
    const V z2 = z * z;
    const V z4 = z2 * z2;
    const V z8 = z4 * z4;
    const V p01 = 2.0 / 3.0 + z * (2.0 / 5.0);
    const V p23 = 2.0 / 7.0 + z * (2.0 / 9.0);
    const V p45 = 2.0 / 11.0 + z * (2.0 / 13.0);
    const V p67 = 2.0 / 15.0 + z * (2.0 / 17.0);
    const V p89 = 2.0 / 19.0 + z * (2.0 / 21.0);
    const V p = (p01 + z2 * p23) + z4 * (p45 + z2 * p67) + z8 * p89;
    const V lnm = 2.0 * s + s * (z * p);
    const V y = e * (k * kLn2Hi + (k * kLn2Lo + lnm));
    // e^y = 2^n e^r, |r| <= ln 2 / 2: Taylor to r^13 leaves less than 1e-17.
    const V shifted = y * kInvLn2 + kShift;
    const V n = shifted - kShift;
    const V r = (y - n * kLn2Hi) - n * kLn2Lo;
    const V r2 = r * r;
    const V r4 = r2 * r2;
    const V r8 = r4 * r4;
    const V q01 = 1.0 + r;
    const V q23 = 0.5 + r * (1.0 / 6.0);
    const V q45 = 1.0 / 24.0 + r * (1.0 / 120.0);
    const V q67 = 1.0 / 720.0 + r * (1.0 / 5040.0);
    const V q89 = 1.0 / 40320.0 + r * (1.0 / 362880.0);
    const V q1011 = 1.0 / 3628800.0 + r * (1.0 / 39916800.0);
    const V q1213 = 1.0 / 479001600.0 + r * (1.0 / 6227020800.0);
    const V q = ((q01 + r2 * q23) + r4 * (q45 + r2 * q67)) + r8 * ((q89 + r2 * q1011) + r4 * q1213);
    // In unsigned lanes: those out of range wrap here and are replaced by std::pow below.
    const U ni = (U)shifted - std::bit_cast<std::uint64_t>(kShift);
    const U result = (U)q + (ni << 52);
    V res = (V)result;
    const I inRange = (a >= kLow) & (a <= kHigh) & (y <= kMaxExponent) & (y >= -kMaxExponent);
    std::memcpy(out, &res, sizeof res);
    for (int i = 0; i < kLanes; ++i)
        if (!inRange[i])
            out[i] = std::pow(a[i], e);
}

}  // namespace

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
// Vector width only: no FMA, so every clone rounds as the baseline does.
__attribute__((target_clones("avx2", "default")))
#endif
void absPowers(const double* x, int n, double e, double* out) {
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) block(x + i, e, out + i);
    if (i < n) {
        double in[kLanes] = {1.0, 1.0, 1.0, 1.0};
        double res[kLanes];
        std::memcpy(in, x + i, sizeof(double) * static_cast<size_t>(n - i));
        block(in, e, res);
        std::memcpy(out + i, res, sizeof(double) * static_cast<size_t>(n - i));
    }
}

double absPower(double x, double e) {
    double r = 0.0;
    absPowers(&x, 1, e, &r);
    return r;
}

}  // namespace kvepa2
