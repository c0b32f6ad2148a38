// What is checked once the whole file is read: curves converted by their use,
// pump curves, tank levels and the connectivity of the network.
#include <cmath>

#include "input/input_parser.h"

namespace kvepa2 {

void InputParser::convertCurves() {
    const double q = qcf(), len = lcf(), vol = vcf();
    for (size_t c = 0; c < m_.curves.size(); ++c) {
        Curve& cv = m_.curves[c];
        CurveType type = CurveType::Generic;
        for (int u : {static_cast<int>(CurveType::Pump), static_cast<int>(CurveType::Volume),
                      static_cast<int>(CurveType::Headloss), static_cast<int>(CurveType::Valve)}) {
            if (curveUsedAs_[u][c]) {
                type = static_cast<CurveType>(u);
                break;
            }
        }
        cv.type = type;
        for (size_t i = 1; i < cv.x.size(); ++i) {
            if (cv.x[i] <= cv.x[i - 1]) {
                error(230, cv.id, nullptr);
                break;
            }
        }
        if (cv.x.empty() && type != CurveType::Generic)
            error(230, cv.id, nullptr);
        for (size_t i = 0; i < cv.x.size(); ++i) {
            switch (type) {
                case CurveType::Pump:
                case CurveType::Headloss:
                    cv.x[i] /= q;
                    cv.y[i] /= len;
                    break;
                case CurveType::Volume:
                    cv.x[i] /= len;
                    cv.y[i] /= vol;
                    break;
                default:
                    break;
            }
        }
    }
}

void InputParser::checkNetwork() {
    for (Link& k : m_.links) {
        if (k.type != LinkType::Pump || k.headCurve == kNone)
            continue;
        const Curve& c = m_.curves[static_cast<size_t>(k.headCurve)];
        const size_t n = c.x.size();
        bool ok = n > 0;
        if (n == 1 || (n == 3 && c.x[0] == 0.0)) {
            k.pumpType = PumpType::PowerFunction;
            // h = a - b q^c through the curve's points (a single point stands for three).
            const double h0 = n == 1 ? 1.33334 * c.y[0] : c.y[0];
            const double h1 = n == 1 ? c.y[0] : c.y[1];
            const double h2 = n == 1 ? 0.0 : c.y[2];
            const double q1 = n == 1 ? c.x[0] : c.x[1];
            const double q2 = n == 1 ? 2.0 * c.x[0] : c.x[2];
            ok = h0 > h1 && h1 > h2 && q1 > 0.0 && q2 > q1;
            if (ok) {
                const double e = std::log((h0 - h2) / (h0 - h1)) / std::log(q2 / q1);
                ok = std::isfinite(e) && e > 0.0 && e <= 20.0;
            }
        } else {
            k.pumpType = PumpType::Custom;
            for (size_t i = 1; ok && i < n; ++i) ok = c.y[i] <= c.y[i - 1];
            if (n < 2)
                ok = false;
        }
        if (!ok)
            error(227, k.id, nullptr);
    }
    for (size_t j = static_cast<size_t>(m_.junctionCount); j < m_.nodes.size(); ++j) {
        const Node& t = m_.nodes[j];
        if (t.type != NodeType::Tank)
            continue;
        bool ok = t.minLevel <= t.maxLevel && t.initLevel >= t.minLevel && t.initLevel <= t.maxLevel;
        if (t.volumeCurve != kNone) {
            const Curve& c = m_.curves[static_cast<size_t>(t.volumeCurve)];
            ok =
                ok && !c.x.empty() && t.minLevel >= c.x.front() - 1.0e-9 && t.maxLevel <= c.x.back() + 1.0e-9;
        }
        if (!ok)
            error(225, t.id, nullptr);
    }
    if (m_.nodes.size() < 2)
        error(223, "", nullptr);
    if (m_.tankCount == 0)
        error(224, "", nullptr);
    std::vector<bool> linked(m_.nodes.size(), false);
    for (const Link& k : m_.links) {
        if (k.node1 != kNone)
            linked[static_cast<size_t>(k.node1)] = true;
        if (k.node2 != kNone)
            linked[static_cast<size_t>(k.node2)] = true;
    }
    for (size_t j = 0; j < m_.nodes.size(); ++j) {
        if (!linked[j])
            error(233, m_.nodes[j].id, nullptr);
    }
}

}  // namespace kvepa2
