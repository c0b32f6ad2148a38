#include "model/network_validation.h"

#include <cmath>

#include "model/error_text.h"

namespace kvepa2 {

bool powerFunctionCurve(const Curve& c, double& a, double& b, double& exponent) {
    const size_t n = c.x.size();
    if (n != 1 && n != 3)
        return false;
    // A single design point stands for three: shutoff at 4/3 of its head, zero
    // head at twice its flow.
    const double h0 = n == 1 ? 1.33334 * c.y[0] : c.y[0];
    const double h1 = n == 1 ? c.y[0] : c.y[1];
    const double h2 = n == 1 ? 0.0 : c.y[2];
    const double q1 = n == 1 ? c.x[0] : c.x[1];
    const double q2 = n == 1 ? 2.0 * c.x[0] : c.x[2];
    if (!(h0 > h1 && h1 > h2 && q1 > 0.0 && q2 > q1))
        return false;
    const double e = std::log((h0 - h2) / (h0 - h1)) / std::log(q2 / q1);
    if (!std::isfinite(e) || e <= 0.0 || e > 20.0)
        return false;
    a = h0;
    exponent = e;
    b = (h0 - h1) / std::pow(q1, e);
    return std::isfinite(b) && b > 0.0;
}

namespace {

void add(std::vector<std::string>& report, int code, const std::string& what) {
    report.push_back("Error " + std::to_string(code) + ": " + errorText(code) +
                     (what.empty() ? "" : " " + what));
}

}  // namespace

int validateNetwork(const Model& m, std::vector<std::string>& report) {
    if (m.nodes.size() < 2) {
        add(report, 223, "");
        return 223;
    }
    if (m.tankCount == 0) {
        add(report, 224, "");
        return 224;
    }
    int code = 0;
    std::vector<bool> linked(m.nodes.size(), false);
    for (const Link& k : m.links) {
        if (k.node1 >= 0)
            linked[static_cast<size_t>(k.node1)] = true;
        if (k.node2 >= 0)
            linked[static_cast<size_t>(k.node2)] = true;
    }
    for (size_t j = 0; j < m.nodes.size(); ++j) {
        if (!linked[j]) {
            report.push_back("Error 234: " + errorText(234) + " " + m.nodes[j].id);
            code = 233;
        }
    }
    if (code != 0) {
        add(report, 233, "");
        return code;
    }
    for (size_t j = static_cast<size_t>(m.junctionCount); j < m.nodes.size(); ++j) {
        const Node& t = m.nodes[j];
        if (t.type != NodeType::Tank)
            continue;
        bool ok = t.minLevel <= t.maxLevel && t.initLevel >= t.minLevel && t.initLevel <= t.maxLevel;
        if (t.volumeCurve != kNone) {
            const Curve& c = m.curves[static_cast<size_t>(t.volumeCurve)];
            ok =
                ok && !c.x.empty() && t.minLevel >= c.x.front() - 1.0e-9 && t.maxLevel <= c.x.back() + 1.0e-9;
        }
        if (!ok) {
            add(report, 225, t.id);
            if (code == 0)
                code = 225;
        }
    }
    for (const Link& k : m.links) {
        if (k.type != LinkType::Pump)
            continue;
        bool ok = true;
        if (k.headCurve == kNone) {
            ok = k.power > 0.0;
            if (!ok) {
                add(report, 226, k.id);
                if (code == 0)
                    code = 226;
                continue;
            }
        } else {
            const Curve& c = m.curves[static_cast<size_t>(k.headCurve)];
            if (k.pumpType == PumpType::PowerFunction) {
                double a = 0, b = 0, e = 0;
                ok = powerFunctionCurve(c, a, b, e);
            } else {
                ok = c.x.size() >= 2;
                for (size_t i = 1; ok && i < c.x.size(); ++i) ok = c.y[i] < c.y[i - 1];
            }
        }
        if (!ok) {
            report.push_back("Error 227: " + errorText(227) + " " + k.id);
            if (code == 0)
                code = 227;
        }
    }
    return code;
}

}  // namespace kvepa2
