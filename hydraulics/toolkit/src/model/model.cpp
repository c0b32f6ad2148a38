#include "model/model.h"

#include <algorithm>

namespace kvepa2 {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Linear interpolation in a table of increasing x, extended linearly beyond its ends.
double interpolate(const std::vector<double>& x, const std::vector<double>& y, double v) {
    const size_t n = x.size();
    if (n == 0)
        return 0.0;
    if (n == 1)
        return y[0];
    size_t i = 1;
    while (i < n - 1 && v > x[i]) ++i;
    const double dx = x[i] - x[i - 1];
    if (dx == 0.0)
        return y[i];
    return y[i - 1] + (v - x[i - 1]) * (y[i] - y[i - 1]) / dx;
}

}  // namespace

double Model::tankVolume(int node, double level) const {
    const Node& t = nodes[static_cast<size_t>(node)];
    if (t.volumeCurve != kNone) {
        const Curve& c = curves[static_cast<size_t>(t.volumeCurve)];
        return interpolate(c.x, c.y, level);
    }
    const double area = kPi * t.diameter * t.diameter / 4.0;
    const double vmin = t.minVolume > 0.0 ? t.minVolume : area * t.minLevel;
    return vmin + area * (level - t.minLevel);
}

double Model::tankLevel(int node, double volume) const {
    const Node& t = nodes[static_cast<size_t>(node)];
    if (t.volumeCurve != kNone) {
        const Curve& c = curves[static_cast<size_t>(t.volumeCurve)];
        return interpolate(c.y, c.x, volume);
    }
    const double area = kPi * t.diameter * t.diameter / 4.0;
    if (area <= 0.0)
        return t.minLevel;
    const double vmin = t.minVolume > 0.0 ? t.minVolume : area * t.minLevel;
    return t.minLevel + (volume - vmin) / area;
}

}  // namespace kvepa2
