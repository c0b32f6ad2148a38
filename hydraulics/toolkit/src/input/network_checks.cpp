// Once the whole file is read: curves converted to internal units by their
// use, and pumps classified by their curves.
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

void InputParser::classifyPumps() {
    for (Link& k : m_.links) {
        if (k.type != LinkType::Pump)
            continue;
        if (k.headCurve == kNone) {
            k.pumpType = k.power > 0.0 ? PumpType::ConstantPower : PumpType::NoCurve;
            continue;
        }
        const Curve& c = m_.curves[static_cast<size_t>(k.headCurve)];
        const size_t n = c.x.size();
        k.pumpType = (n == 1 || (n == 3 && c.x[0] == 0.0)) ? PumpType::PowerFunction : PumpType::Custom;
    }
}

}  // namespace kvepa2
