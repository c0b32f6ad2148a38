// Unit systems of an EPANET model. Internally every quantity is US customary
// as the hydraulics use it: feet, cubic feet per second, seconds. Values are
// converted once when read and once when reported or written.
#pragma once

namespace kvepa2 {

enum class FlowUnits { CFS = 0, GPM, MGD, IMGD, AFD, LPS, LPM, MLD, CMH, CMD, CMS };
enum class PressureUnits { PSI = 0, KPA, METERS, BAR, FEET };

namespace units {

// Flow units per cubic foot per second.
inline constexpr double kGpmPerCfs = 448.831;
inline constexpr double kMgdPerCfs = 0.64632;
inline constexpr double kImgdPerCfs = 0.5382;
inline constexpr double kAfdPerCfs = 1.9837;
inline constexpr double kLpsPerCfs = 28.317;
inline constexpr double kLpmPerCfs = 1699.0;
inline constexpr double kMldPerCfs = 2.4466;
inline constexpr double kCmhPerCfs = 101.94;
inline constexpr double kCmdPerCfs = 2446.6;
inline constexpr double kCmsPerCfs = 0.028317;

inline constexpr double kMetresPerFoot = 0.3048;
inline constexpr double kMillimetresPerFoot = 304.8;
inline constexpr double kInchesPerFoot = 12.0;
inline constexpr double kPsiPerFoot = 0.4333;
inline constexpr double kKpaPerPsi = 6.895;
// The reference engine converts volumes with the cube of the foot, not the rounded 0.028317.
inline constexpr double kCubicMetresPerCubicFoot = kMetresPerFoot * kMetresPerFoot * kMetresPerFoot;
inline constexpr double kKwPerHp = 0.7457;
// Kinematic viscosity of water at 20 C in ft2/s; the VISCOSITY option is relative to it.
inline constexpr double kWaterViscosity = 1.1e-5;
inline constexpr double kSecondsPerHour = 3600.0;

constexpr bool isSi(FlowUnits f) {
    return f >= FlowUnits::LPS;
}

// Model flow units per cfs.
constexpr double flowFactor(FlowUnits f) {
    switch (f) {
        case FlowUnits::CFS:
            return 1.0;
        case FlowUnits::GPM:
            return kGpmPerCfs;
        case FlowUnits::MGD:
            return kMgdPerCfs;
        case FlowUnits::IMGD:
            return kImgdPerCfs;
        case FlowUnits::AFD:
            return kAfdPerCfs;
        case FlowUnits::LPS:
            return kLpsPerCfs;
        case FlowUnits::LPM:
            return kLpmPerCfs;
        case FlowUnits::MLD:
            return kMldPerCfs;
        case FlowUnits::CMH:
            return kCmhPerCfs;
        case FlowUnits::CMD:
            return kCmdPerCfs;
        case FlowUnits::CMS:
            return kCmsPerCfs;
    }
    return 1.0;
}

// Model lengths (elevation, head, level, pipe length) per foot.
constexpr double lengthFactor(FlowUnits f) {
    return isSi(f) ? kMetresPerFoot : 1.0;
}
// Model diameters (mm or inches) per foot.
constexpr double diameterFactor(FlowUnits f) {
    return isSi(f) ? kMillimetresPerFoot : kInchesPerFoot;
}
// Darcy-Weisbach roughness (mm or millifeet) per foot.
constexpr double dwRoughnessFactor(FlowUnits f) {
    return isSi(f) ? kMillimetresPerFoot : 1000.0;
}
// Model volumes per cubic foot.
constexpr double volumeFactor(FlowUnits f) {
    return isSi(f) ? kCubicMetresPerCubicFoot : 1.0;
}
// Model power units (kW or hp) per horsepower.
constexpr double powerFactor(FlowUnits f) {
    return isSi(f) ? kKwPerHp : 1.0;
}
// Velocity (m/s or ft/s) per ft/s.
constexpr double velocityFactor(FlowUnits f) {
    return isSi(f) ? kMetresPerFoot : 1.0;
}

// Pressure units per foot of water head, for a given specific gravity.
constexpr double pressureFactor(PressureUnits p, double specificGravity) {
    switch (p) {
        case PressureUnits::PSI:
            return kPsiPerFoot * specificGravity;
        case PressureUnits::KPA:
            return kPsiPerFoot * kKpaPerPsi * specificGravity;
        case PressureUnits::METERS:
            return kMetresPerFoot * specificGravity;
        case PressureUnits::BAR:
            return kPsiPerFoot * kKpaPerPsi * specificGravity / 100.0;
        case PressureUnits::FEET:
            return specificGravity;
    }
    return 1.0;
}

}  // namespace units
}  // namespace kvepa2
