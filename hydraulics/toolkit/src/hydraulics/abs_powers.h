// |x|^e for whole arrays of flows: the friction loop's one transcendental step, done in
// vector lanes so that a trial does not wait on a library exp and log per pipe.
#pragma once

namespace kvepa2 {

// out[i] = |x[i]|^e for i < n (x and out may be the same array). Relative error within a few
// units of 1e-16 times (1 + |e ln |x||), as exp(e log |x|) has; exactly std::pow's value for 0,
// infinities, NaN and magnitudes beyond 2^+-1000. The result of an element does not depend on
// its position or on the machine's vector width.
void absPowers(const double* x, int n, double e, double* out);

// One element, the same value absPowers gives it.
double absPower(double x, double e);

}  // namespace kvepa2
