// [OPTIONS] and [TIMES]: read in the first pass, since the units they fix
// govern every other section.
#include <algorithm>
#include <array>
#include <utility>

#include "input/input_parser.h"
#include "input/number_text.h"

namespace kvepa2 {

namespace {

template <typename E, size_t N>
bool lookup(const std::array<std::pair<const char*, E>, N>& table, const std::string& word, E& out) {
    for (const auto& [name, value] : table) {
        if (equalsKeyword(word, name)) {
            out = value;
            return true;
        }
    }
    return false;
}

constexpr std::array<std::pair<const char*, FlowUnits>, 11> kFlowUnits{{
    {"CFS", FlowUnits::CFS},
    {"GPM", FlowUnits::GPM},
    {"MGD", FlowUnits::MGD},
    {"IMGD", FlowUnits::IMGD},
    {"AFD", FlowUnits::AFD},
    {"LPS", FlowUnits::LPS},
    {"LPM", FlowUnits::LPM},
    {"MLD", FlowUnits::MLD},
    {"CMH", FlowUnits::CMH},
    {"CMD", FlowUnits::CMD},
    {"CMS", FlowUnits::CMS},
}};

constexpr std::array<std::pair<const char*, PressureUnits>, 6> kPressureUnits{{
    {"PSI", PressureUnits::PSI},
    {"KPA", PressureUnits::KPA},
    {"METERS", PressureUnits::METERS},
    {"METRES", PressureUnits::METERS},
    {"BAR", PressureUnits::BAR},
    {"FEET", PressureUnits::FEET},
}};

constexpr std::array<std::pair<const char*, HeadlossFormula>, 3> kHeadloss{{
    {"H-W", HeadlossFormula::HazenWilliams},
    {"D-W", HeadlossFormula::DarcyWeisbach},
    {"C-M", HeadlossFormula::ChezyManning},
}};

}  // namespace

void InputParser::readOption(const InputLine& line) {
    const auto& t = line.parsed.tokens;
    const size_t n = t.size();
    auto fail = [&](int code, const std::string& what) { error(code, what, &line); };
    // Value of a one-word option is t[1], of a two-word option t[2].
    auto numberAt = [&](size_t i, double& v) -> bool {
        if (i >= n) {
            fail(201, "");
            return false;
        }
        if (!parseNumber(t[i], v)) {
            fail(202, t[i]);
            return false;
        }
        return true;
    };
    Options& o = m_.options;
    if (n < 2)
        return;  // a keyword without a value changes nothing, as in EPANET
    const std::string& key = t[0];
    double v = 0.0;
    if (matchesKeyword(key, "UNIT")) {
        if (n < 2)
            return fail(201, "");
        if (!lookup(kFlowUnits, t[1], o.flowUnits))
            fail(213, t[1]);
    } else if (matchesKeyword(key, "PRES")) {
        if (n < 2)
            return fail(201, "");
        if (matchesKeyword(t[1], "EXPO")) {
            if (!numberAt(2, v))
                return;
            if (v <= 0.0)
                return fail(213, t[2]);
            o.pressureExponent = v;
        } else {
            if (!lookup(kPressureUnits, t[1], o.pressureUnits))
                return fail(213, t[1]);
            o.pressureUnitsGiven = true;
        }
    } else if (matchesKeyword(key, "HEADL")) {
        if (n < 2)
            return fail(201, "");
        if (!lookup(kHeadloss, t[1], o.headloss))
            fail(213, t[1]);
    } else if (matchesKeyword(key, "HEADE")) {
        if (!numberAt(1, v))
            return;
        if (v < 0.0)
            return fail(213, t[1]);
        o.headError = v;
    } else if (matchesKeyword(key, "FLOWC")) {
        if (!numberAt(1, v))
            return;
        if (v < 0.0)
            return fail(213, t[1]);
        o.flowChange = v;
    } else if (matchesKeyword(key, "VISC")) {
        if (!numberAt(1, v))
            return;
        if (v <= 0.0)
            return fail(213, t[1]);
        // Given relative to water at 20 C; the model keeps ft2/s.
        o.viscosity = v * units::kWaterViscosity;
    } else if (matchesKeyword(key,
                              std::string_view("SPECIFIC").substr(0, 4))) {  // four letters, like the others
        if (!numberAt(2, v))
            return;
        if (v <= 0.0)
            return fail(213, t[2]);
        o.specificGravity = v;
    } else if (matchesKeyword(key, "TRIAL")) {
        if (!numberAt(1, v))
            return;
        if (v < 1.0 || v > 1.0e6)
            return fail(213, t[1]);
        o.trials = static_cast<int>(v);
    } else if (matchesKeyword(key, "ACCU")) {
        if (!numberAt(1, v))
            return;
        if (v <= 0.0)
            return fail(213, t[1]);
        o.accuracy = std::max(v, 1.0e-5);
    } else if (matchesKeyword(key, "UNBAL")) {
        if (n < 2)
            return fail(201, "");
        if (matchesKeyword(t[1], "STOP")) {
            o.extraTrials = -1;
        } else if (matchesKeyword(t[1], "CONT")) {
            o.extraTrials = 0;
            if (n > 2) {
                if (!numberAt(2, v))
                    return;
                if (v < 0.0 || v > 1.0e6)
                    return fail(213, t[2]);
                o.extraTrials = static_cast<int>(v);
            }
        } else {
            fail(213, t[1]);
        }
    } else if (matchesKeyword(key, "PATT")) {
        if (n < 2)
            return fail(201, "");
        o.defaultPatternId = t[1];
    } else if (matchesKeyword(key, "DEMA")) {
        if (n < 2)
            return fail(201, "");
        if (matchesKeyword(t[1], "MOD")) {
            if (n < 3)
                return fail(201, "");
            if (equalsKeyword(t[2], "DDA"))
                o.demandModel = DemandModel::DDA;
            else if (equalsKeyword(t[2], "PDA"))
                o.demandModel = DemandModel::PDA;
            else
                fail(213, t[2]);
        } else {
            // DEMAND MULTIPLIER
            if (!numberAt(2, v))
                return;
            if (v < 0.0)
                return fail(213, t[2]);
            o.demandMultiplier = v;
        }
    } else if (matchesKeyword(key, "EMIT")) {
        if (n < 2)
            return fail(201, "");
        if (matchesKeyword(t[1], "BACK")) {
            if (n < 3)
                return fail(201, "");
            if (equalsKeyword(t[2], "YES"))
                o.emitterBackflow = true;
            else if (equalsKeyword(t[2], "NO"))
                o.emitterBackflow = false;
            else
                fail(213, t[2]);
        } else {
            if (!numberAt(2, v))
                return;
            if (v <= 0.0)
                return fail(213, t[2]);
            o.emitterExponent = v;
        }
    } else if (matchesKeyword(key, "MINI")) {
        if (!numberAt(2, v))
            return;
        if (v < 0.0)
            return fail(213, t[2]);
        o.minimumPressure = v;
    } else if (matchesKeyword(key, "REQU")) {
        if (!numberAt(2, v))
            return;
        if (v < 0.0)
            return fail(213, t[2]);
        o.requiredPressure = v;
        requiredPressureGiven_ = true;
    } else if (matchesKeyword(key, "CHECKF")) {
        if (!numberAt(1, v))
            return;
        if (v < 1.0 || v > 1.0e6)
            return fail(213, t[1]);
        o.checkFrequency = static_cast<int>(v);
    } else if (matchesKeyword(key, "MAXCH")) {
        if (!numberAt(1, v))
            return;
        if (v < 1.0 || v > 1.0e6)
            return fail(213, t[1]);
        o.maxCheck = static_cast<int>(v);
    } else if (matchesKeyword(key, "DAMP")) {
        if (!numberAt(1, v))
            return;
        if (v < 0.0)
            return fail(213, t[1]);
        o.dampLimit = v;
    } else if (matchesKeyword(key, "QUAL") || matchesKeyword(key, "DIFF") || matchesKeyword(key, "TOLE") ||
               matchesKeyword(key, "MAP") || matchesKeyword(key, "HYDR") || matchesKeyword(key, "SEGM") ||
               matchesKeyword(key, "VERI") || matchesKeyword(key, "BACKF")) {
        // Water quality and file options: no effect on the hydraulics, written back as read.
        std::string kept;
        for (const auto& tok : t) kept += (kept.empty() ? "" : " ") + tok;
        o.keptLines.push_back(kept);
    } else {
        fail(201, key);
    }
}

void InputParser::readTime(const InputLine& line) {
    const auto& t = line.parsed.tokens;
    const size_t n = t.size();
    Times& tm = m_.times;
    auto timeAt = [&](size_t i, long& out) {
        if (i >= n) {
            error(201, "", &line);
            return;
        }
        // With more words than a value and its unit, the last two are taken.
        if (n - i > 2)
            i = n - 2;
        const long s = parseTime(t[i], i + 1 < n ? t[i + 1] : std::string());
        if (s < 0) {
            error(213, t[i], &line);
            return;
        }
        out = s;
    };
    const std::string& key = t[0];
    if (matchesKeyword(key, "DURA")) {
        timeAt(1, tm.duration);
    } else if (matchesKeyword(key, "HYDR")) {
        timeAt(2, tm.hydraulicStep);
    } else if (matchesKeyword(key, "QUAL")) {
        timeAt(2, tm.qualityStep);
        tm.qualityStepGiven = true;
    } else if (matchesKeyword(key, "RULE")) {
        timeAt(2, tm.ruleStep);
        tm.ruleStepGiven = true;
    } else if (matchesKeyword(key, "PATT")) {
        if (n < 2)
            return error(201, "", &line);
        if (matchesKeyword(t[1], "TIME"))
            timeAt(2, tm.patternStep);
        else if (matchesKeyword(t[1], "STAR"))
            timeAt(2, tm.patternStart);
        else
            error(201, t[1], &line);
    } else if (matchesKeyword(key, "REPO")) {
        if (n < 2)
            return error(201, "", &line);
        if (matchesKeyword(t[1], "TIME"))
            timeAt(2, tm.reportStep);
        else if (matchesKeyword(t[1], "STAR"))
            timeAt(2, tm.reportStart);
        else
            error(201, t[1], &line);
    } else if (matchesKeyword(key, "STAR")) {
        timeAt(2, tm.startClockTime);
    } else if (matchesKeyword(key, "STAT")) {
        if (n < 2)
            return error(201, "", &line);
        const std::string s = upperCase(t.back());
        if (s == "NONE" || s == "NO" || matchesKeyword(s, "AVER") || matchesKeyword(s, "MINI") ||
            matchesKeyword(s, "MAXI") || matchesKeyword(s, "RANG")) {
            tm.statistic = s;
        } else {
            error(213, t.back(), &line);
        }
    } else {
        error(201, key, &line);
    }
}

void InputParser::finishOptions() {
    Options& o = m_.options;
    if (!o.pressureUnitsGiven) {
        o.pressureUnits = units::isSi(o.flowUnits) ? PressureUnits::METERS : PressureUnits::PSI;
    }
    // Pressure limits are checked as given: at least 0.1 pressure units apart.
    const double minimum = o.minimumPressure;
    const double required = requiredPressureGiven_ ? o.requiredPressure : 0.1;
    if (required - minimum < 0.1 - 1.0e-9)
        error(208, "", nullptr);
    o.minimumPressure = minimum / pcf();
    o.requiredPressure = required / pcf();
    o.headError /= lcf();
    o.flowChange /= qcf();
    o.defaultPattern = m_.findPattern(o.defaultPatternId);

    Times& t = m_.times;
    if (t.patternStep <= 0)
        t.patternStep = 3600;
    if (t.reportStep <= 0)
        t.reportStep = t.patternStep;
    if (t.hydraulicStep <= 0)
        t.hydraulicStep = 3600;
    t.hydraulicStep = std::min({t.hydraulicStep, t.patternStep, t.reportStep});
    if (t.reportStart > t.duration)
        t.reportStart = 0;
    if (!t.qualityStepGiven || t.qualityStep <= 0)
        t.qualityStep = t.hydraulicStep / 10;
    if (!t.ruleStepGiven || t.ruleStep <= 0)
        t.ruleStep = t.hydraulicStep / 10;
    t.ruleStep = std::min(t.ruleStep, t.hydraulicStep);
    t.qualityStep = std::min(t.qualityStep, t.hydraulicStep);
    t.startClockTime %= 86400;
}

}  // namespace kvepa2
