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
    return tankVolumeAtHead(node, t.elevation + level);
}

double Model::tankLevel(int node, double volume) const {
    const Node& t = nodes[static_cast<size_t>(node)];
    if (t.volumeCurve != kNone) {
        const Curve& c = curves[static_cast<size_t>(t.volumeCurve)];
        return interpolate(c.y, c.x, volume);
    }
    return tankHeadAtVolume(node, volume) - t.elevation;
}

double Model::tankVolumeAtHead(int node, double head) const {
    const Node& t = nodes[static_cast<size_t>(node)];
    if (t.volumeCurve != kNone)
        return tankVolume(node, head - t.elevation);
    const double area = kPi * (t.diameter * t.diameter) / 4.0;
    return t.volumeAtMinLevel + (head - (t.elevation + t.minLevel)) * area;
}

double Model::tankHeadAtVolume(int node, double volume) const {
    const Node& t = nodes[static_cast<size_t>(node)];
    if (t.volumeCurve != kNone)
        return t.elevation + tankLevel(node, volume);
    const double area = kPi * (t.diameter * t.diameter) / 4.0;
    if (area <= 0.0)
        return t.elevation + t.minLevel;
    return (t.elevation + t.minLevel) + (volume - t.volumeAtMinLevel) / area;
}

double Model::tankMinVolume(int node) const {
    const Node& t = nodes[static_cast<size_t>(node)];
    return t.volumeCurve != kNone ? tankVolume(node, t.minLevel) : t.volumeAtMinLevel;
}

double Model::tankInitVolume(int node) const {
    const Node& t = nodes[static_cast<size_t>(node)];
    return t.volumeCurve != kNone ? tankVolume(node, t.initLevel) : t.volumeAtInitLevel;
}

double Model::tankMaxVolume(int node) const {
    const Node& t = nodes[static_cast<size_t>(node)];
    return t.volumeCurve != kNone ? tankVolume(node, t.maxLevel) : t.volumeAtMaxLevel;
}

void setCylinderVolumes(Node& n, double diameter, double initLevel, double minLevel, double maxLevel,
                        double minVolume, double vcf) {
    const double area = kPi * (diameter * diameter) / 4.0;
    const double vmin = minVolume > 0.0 ? minVolume : area * minLevel;
    n.volumeAtMinLevel = vmin / vcf;
    n.volumeAtInitLevel = (vmin + area * (initLevel - minLevel)) / vcf;
    n.volumeAtMaxLevel = (vmin + area * (maxLevel - minLevel)) / vcf;
}

}  // namespace kvepa2
