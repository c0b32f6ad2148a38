// Counts, analysis options and time parameters through the C functions.
#include <algorithm>
#include <cmath>

#include "api/project.h"
#include "kvepa2/epanet2_enums.h"

namespace kvepa2 {

int getCount(const Project& p, int object, int* count) {
    if (count == nullptr)
        return 250;
    *count = 0;
    if (!p.open)
        return 102;
    const Model& m = p.model;
    switch (object) {
        case EN_NODECOUNT:
            *count = static_cast<int>(m.nodes.size());
            return 0;
        case EN_TANKCOUNT:
            *count = m.tankCount;
            return 0;
        case EN_LINKCOUNT:
            *count = static_cast<int>(m.links.size());
            return 0;
        case EN_PATCOUNT:
            *count = static_cast<int>(m.patterns.size());
            return 0;
        case EN_CURVECOUNT:
            *count = static_cast<int>(m.curves.size());
            return 0;
        case EN_CONTROLCOUNT:
            *count = static_cast<int>(m.controls.size());
            return 0;
        case EN_RULECOUNT:
            *count = static_cast<int>(m.rules.size());
            return 0;
        default:
            return 251;
    }
}

int getOption(const Project& p, int option, double* value) {
    if (value == nullptr)
        return 250;
    *value = 0.0;
    if (!p.open)
        return 102;
    const Options& o = p.model.options;
    const double q = units::flowFactor(o.flowUnits);
    const double l = units::lengthFactor(o.flowUnits);
    double v = 0.0;
    switch (option) {
        case EN_TRIALS:
            v = o.trials;
            break;
        case EN_ACCURACY:
            v = o.accuracy;
            break;
        case EN_TOLERANCE:
            v = 0.01;
            break;
        case EN_EMITEXPON:
            v = o.emitterExponent;
            break;
        case EN_DEMANDMULT:
            v = o.demandMultiplier;
            break;
        case EN_HEADERROR:
            v = o.headError * l;
            break;
        case EN_FLOWCHANGE:
            v = o.flowChange * q;
            break;
        case EN_HEADLOSSFORM:
            v = static_cast<int>(o.headloss);
            break;
        case EN_GLOBALEFFIC:
            v = o.globalEfficiency;
            break;
        case EN_GLOBALPRICE:
            v = o.globalPrice;
            break;
        case EN_GLOBALPATTERN:
            v = o.globalPricePattern + 1;
            break;
        case EN_DEMANDCHARGE:
            v = o.demandCharge;
            break;
        case EN_CONCENLIMIT:
            break;
        case EN_SP_GRAVITY:
            v = o.specificGravity;
            break;
        case EN_SP_VISCOS:
            v = o.viscosity / units::kWaterViscosity;
            break;
        case EN_UNBALANCED:
            v = o.extraTrials;
            break;
        case EN_CHECKFREQ:
            v = o.checkFrequency;
            break;
        case EN_MAXCHECK:
            v = o.maxCheck;
            break;
        case EN_DAMPLIMIT:
            v = o.dampLimit;
            break;
        case EN_SP_DIFFUS:
        case EN_BULKORDER:
        case EN_WALLORDER:
        case EN_TANKORDER:
            v = 1.0;
            break;
        case EN_DEMANDPATTERN:
            v = o.defaultPattern + 1;
            break;
        case EN_EMITBACKFLOW:
            v = o.emitterBackflow ? 1.0 : 0.0;
            break;
        case EN_PRESS_UNITS:
            v = static_cast<int>(o.pressureUnits);
            break;
        case EN_STATUS_REPORT:
            v = EN_NO_REPORT;
            break;
        default:
            return 251;
    }
    *value = v;
    return 0;
}

int setOption(Project& p, int option, double v) {
    if (!p.open)
        return 102;
    if (!std::isfinite(v))
        return 213;
    Options& o = p.model.options;
    const double q = units::flowFactor(o.flowUnits);
    const double l = units::lengthFactor(o.flowUnits);
    switch (option) {
        case EN_TRIALS:
            if (v < 1.0 || v > 1.0e6)
                return 213;
            o.trials = static_cast<int>(v);
            return 0;
        case EN_ACCURACY:
            if (v < 1.0e-8 || v > 1.0e-1)
                return 213;
            o.accuracy = v;
            return 0;
        case EN_EMITEXPON:
            if (v <= 0.0)
                return 213;
            o.emitterExponent = v;
            return 0;
        case EN_DEMANDMULT:
            if (v <= 0.0)
                return 213;
            o.demandMultiplier = v;
            return 0;
        case EN_HEADERROR:
            if (v < 0.0)
                return 213;
            o.headError = v / l;
            return 0;
        case EN_FLOWCHANGE:
            if (v < 0.0)
                return 213;
            o.flowChange = v / q;
            return 0;
        case EN_SP_GRAVITY:
            if (v <= 0.0)
                return 213;
            o.specificGravity = v;
            return 0;
        case EN_SP_VISCOS:
            if (v <= 0.0)
                return 213;
            o.viscosity = v * units::kWaterViscosity;
            return 0;
        case EN_UNBALANCED:
            if (v > 1.0e6)
                return 213;
            o.extraTrials = v < 0.0 ? -1 : static_cast<int>(v);
            return 0;
        case EN_CHECKFREQ:
            if (v < 1.0 || v > 1.0e6)
                return 213;
            o.checkFrequency = static_cast<int>(v);
            return 0;
        case EN_MAXCHECK:
            if (v < 1.0 || v > 1.0e6)
                return 213;
            o.maxCheck = static_cast<int>(v);
            return 0;
        case EN_DAMPLIMIT:
            if (v < 0.0)
                return 213;
            o.dampLimit = v;
            return 0;
        case EN_DEMANDPATTERN: {
            const int pat = static_cast<int>(v);
            if (pat != v || pat < 0 || pat > static_cast<int>(p.model.patterns.size()))
                return 205;
            o.defaultPattern = pat - 1;
            o.defaultPatternId = pat == 0 ? "" : p.model.patterns[static_cast<size_t>(pat - 1)].id;
            return 0;
        }
        case EN_EMITBACKFLOW:
            o.emitterBackflow = v != 0.0;
            return 0;
        case EN_TOLERANCE:
        case EN_GLOBALEFFIC:
        case EN_GLOBALPRICE:
        case EN_GLOBALPATTERN:
        case EN_DEMANDCHARGE:
        case EN_SP_DIFFUS:
        case EN_BULKORDER:
        case EN_WALLORDER:
        case EN_TANKORDER:
        case EN_CONCENLIMIT:
        case EN_STATUS_REPORT:
            return 0;  // water quality and reporting: nothing to do
        default:
            return 251;
    }
}

int getTimeParam(const Project& p, int param, long* value) {
    if (value == nullptr)
        return 250;
    *value = 0;
    if (!p.open)
        return 102;
    const Times& t = p.model.times;
    switch (param) {
        case EN_DURATION:
            *value = t.duration;
            return 0;
        case EN_HYDSTEP:
            *value = t.hydraulicStep;
            return 0;
        case EN_QUALSTEP:
            *value = t.qualityStep;
            return 0;
        case EN_PATTERNSTEP:
            *value = t.patternStep;
            return 0;
        case EN_PATTERNSTART:
            *value = t.patternStart;
            return 0;
        case EN_REPORTSTEP:
            *value = t.reportStep;
            return 0;
        case EN_REPORTSTART:
            *value = t.reportStart;
            return 0;
        case EN_RULESTEP:
            *value = t.ruleStep;
            return 0;
        case EN_STATISTIC: {
            const std::string& s = t.statistic;
            *value = s.rfind("AVER", 0) == 0   ? EN_AVERAGE
                     : s.rfind("MINI", 0) == 0 ? EN_MINIMUM
                     : s.rfind("MAXI", 0) == 0 ? EN_MAXIMUM
                     : s.rfind("RANG", 0) == 0 ? EN_RANGE
                                               : EN_SERIES;
            return 0;
        }
        case EN_PERIODS:
            // Reporting periods are counted by a run that saves results; none here.
            *value = 0;
            return 0;
        case EN_STARTTIME:
            *value = t.startClockTime;
            return 0;
        case EN_HTIME:
            *value = p.simulation && p.solved ? p.simulation->currentTime() : 0;
            return 0;
        case EN_QTIME:
        case EN_HALTFLAG:
        case EN_NEXTEVENT:
        case EN_NEXTEVENTTANK:
            return 0;
        default:
            return 251;
    }
}

int setTimeParam(Project& p, int param, long v) {
    if (!p.open)
        return 102;
    if (v < 0)
        return 213;
    Times& t = p.model.times;
    switch (param) {
        case EN_DURATION:
            t.duration = v;
            break;
        case EN_HYDSTEP:
            if (v == 0)
                return 213;
            t.hydraulicStep = std::min({v, t.patternStep, t.reportStep});
            t.qualityStep = std::min(t.qualityStep, t.hydraulicStep);
            t.ruleStep = std::min(t.ruleStep, t.hydraulicStep);
            break;
        case EN_QUALSTEP:
            if (v == 0)
                return 213;
            t.qualityStep = std::min(v, t.hydraulicStep);
            break;
        case EN_PATTERNSTEP:
            if (v == 0)
                return 213;
            t.patternStep = v;
            t.hydraulicStep = std::min(t.hydraulicStep, v);
            break;
        case EN_PATTERNSTART:
            t.patternStart = v;
            break;
        case EN_REPORTSTEP:
            if (v == 0)
                return 213;
            t.reportStep = v;
            t.hydraulicStep = std::min(t.hydraulicStep, v);
            break;
        case EN_REPORTSTART:
            if (v > t.duration)
                return 213;
            t.reportStart = v;
            break;
        case EN_RULESTEP:
            if (v == 0)
                return 213;
            t.ruleStep = std::min(v, t.hydraulicStep);
            break;
        case EN_STARTTIME:
            if (v >= 86400)
                return 213;
            t.startClockTime = v;
            break;
        case EN_STATISTIC: {
            static const char* kNames[] = {"NONE", "AVERAGE", "MINIMUM", "MAXIMUM", "RANGE"};
            if (v > 4)
                return 213;
            t.statistic = kNames[v];
            break;
        }
        default:
            return 251;
    }
    return 0;
}

}  // namespace kvepa2
