// R (200 ft) -> short pipe p0 -> J0 -> FCV v at 1 cfs -> J1 -> short pipe p1 -> tank t of 100 ft2
// (level 10 of 0..50 ft): the valve fixes the inflow, so the level rises 1 ft every 100 s.
// Two hours at hourly steps.
#pragma once

#include <cmath>

#include "model_builder.h"

namespace kvepa2::testing {

struct FcvTankFill {
    ModelBuilder b;
    int j0, j1, r, t, p0, v, p1;
    FcvTankFill() {
        constexpr double kPi = 3.14159265358979323846;
        j0 = b.junction(0.0);
        j1 = b.junction(0.0);
        r = b.reservoir(200.0);
        t = b.tank(0.0, 10.0, 0.0, 50.0, std::sqrt(400.0 / kPi));
        p0 = b.pipe(r, j0, 10.0, 2.0, 130.0);
        v = b.valve(j0, j1, LinkType::FCV, 1.0, 1.0);
        p1 = b.pipe(j1, t, 10.0, 2.0, 130.0);
        Times& tm = b.model().times;
        tm.duration = 7200;
        tm.hydraulicStep = 3600;
        tm.patternStep = 3600;
        tm.reportStep = 3600;
    }
};

}  // namespace kvepa2::testing
